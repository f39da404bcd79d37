#!/usr/bin/env python3
"""Times quil-lsp the way an editor uses it, on one document: the diagnostics published after
each didChange (the whole text, one value changed each time), completion at a few places, and
the server's resident memory over many edits. Prints figures and judges nothing; exits
non-zero only when the server fails to answer.

    python3 scripts/lsp-bench.py QUIL_LSP DOCUMENT [RUNS] [EDITS]
"""
import json
import os
import statistics
import subprocess
import sys
import time


class Server:
    def __init__(self, program):
        self.process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.next_id = 0

    def send(self, message):
        body = json.dumps(dict(message, jsonrpc="2.0")).encode()
        self.process.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        self.process.stdin.flush()

    def receive(self):
        header = b""
        while not header.endswith(b"\r\n\r\n"):
            byte = self.process.stdout.read(1)
            if not byte:
                sys.exit("quil-lsp ended its output")
            header += byte
        length = next(int(line.split(b":")[1]) for line in header.split(b"\r\n")
                      if line.lower().startswith(b"content-length"))
        return json.loads(self.process.stdout.read(length))

    def request(self, method, params):
        self.next_id += 1
        self.send({"id": self.next_id, "method": method, "params": params})
        while True:
            message = self.receive()
            if message.get("id") == self.next_id:
                return message

    def diagnostics(self):
        while True:
            message = self.receive()
            if message.get("method") == "textDocument/publishDiagnostics":
                return message["params"]["diagnostics"]

    def cpu_ms(self):
        # The processor time (user and system) the server has used so far.
        with open("/proc/%d/stat" % self.process.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) * 1000 / os.sysconf("SC_CLK_TCK")

    def rss_kb(self):
        with open("/proc/%d/status" % self.process.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0


def position_after(text, anchor):
    at = text.index(anchor) + len(anchor)
    line = text.count("\n", 0, at)
    start = text.rfind("\n", 0, at) + 1
    # UTF-16 code units of the line up to the cursor.
    return {"line": line, "character": len(text[start:at].encode("utf-16-le")) // 2}


def main():
    program, document = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 21
    edits = int(sys.argv[4]) if len(sys.argv) > 4 else 1000
    with open(document, encoding="utf-8") as file:
        text = file.read()
    uri = "file:///bench/document.xml"
    server = Server(program)
    server.request("initialize", {"capabilities": {}})
    server.send({"method": "initialized", "params": {}})

    start = time.perf_counter()
    server.send({"method": "textDocument/didOpen", "params": {"textDocument": {
        "uri": uri, "languageId": "xml", "version": 1, "text": text}}})
    found = len(server.diagnostics())
    opened = (time.perf_counter() - start) * 1000

    # Each edit changes the root's name, so that every text differs and stays legal.
    name = text.index('name="') + len('name="')
    version = 1

    def edit():
        nonlocal version
        version += 1
        changed = text[:name] + "v%d " % version + text[name:]
        server.send({"method": "textDocument/didChange", "params": {
            "textDocument": {"uri": uri, "version": version},
            "contentChanges": [{"text": changed}]}})
        server.diagnostics()

    changes = []
    cpu = server.cpu_ms()
    for _ in range(runs):
        start = time.perf_counter()
        edit()
        changes.append((time.perf_counter() - start) * 1000)
    cpu = (server.cpu_ms() - cpu) / runs

    places = [("an action expression", 'funcs="'), ("a navigation target", 'down="'),
              ("a control's attributes", "<control ")]
    completions = []
    for label, anchor in places:
        if anchor not in text:
            continue
        params = {"textDocument": {"uri": uri}, "position": position_after(text, anchor)}
        times = []
        for _ in range(runs):
            start = time.perf_counter()
            answer = server.request("textDocument/completion", params)
            times.append((time.perf_counter() - start) * 1000)
        completions.append((label, len(answer.get("result") or []), times))

    rss = []
    for n in range(edits):
        edit()
        if n + 1 in (min(100, edits), edits):
            rss.append((n + 1, server.rss_kb()))

    server.request("shutdown", None)
    server.send({"method": "exit"})
    status = server.process.wait()

    print("  %s (%.1f KB): %d diagnostics; medians:" % (document, len(text.encode()) / 1024,
                                                        found))
    print("    didOpen to diagnostics                 %8.1f ms" % opened)
    print("    didChange to diagnostics               %8.1f ms  (max %.1f ms, %d edits;"
          " server cpu %.1f ms each)" % (statistics.median(changes), max(changes), runs, cpu))
    for label, count, times in completions:
        print("    %-38s %8.1f ms  (max %.1f ms, %d items)"
              % ("completion in " + label, statistics.median(times), max(times), count))
    print("    resident memory: " + ", ".join(
        "%.1f MB after %d edits" % (kb / 1024, n) for n, kb in rss))
    print("    exit status after shutdown and exit: %d" % status)
    return 0 if status == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
