-- Run by tests/lsp/neovim.sh in a headless Neovim 0.7: starts quil-lsp for the document,
-- waits for its diagnostics, asks for completion and hover, stops the server and writes what
-- it got, one line each, to $QUIL_LSP_OUT.
local lines = {}
local function finish(status)
  local file = io.open(os.getenv("QUIL_LSP_OUT"), "w")
  file:write(table.concat(lines, "\n") .. "\n")
  file:close()
  vim.cmd(status == 0 and "qall!" or "cquit " .. status)
end

local ok, failure = pcall(function()
  local exited = nil
  local client = vim.lsp.start_client({
    name = "quil-lsp",
    cmd = { os.getenv("QUIL_LSP") },
    root_dir = vim.fn.fnamemodify(os.getenv("QUIL_LSP_DOCUMENT"), ":h"),
    on_exit = function(code) exited = code end,
  })
  assert(client, "quil-lsp did not start")
  vim.cmd("edit " .. vim.fn.fnameescape(os.getenv("QUIL_LSP_DOCUMENT")))
  local buffer = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(buffer, client)
  assert(vim.wait(10000, function() return #vim.diagnostic.get(buffer) > 0 end, 20),
         "no diagnostics")
  local diagnostics = vim.diagnostic.get(buffer)
  table.sort(diagnostics, function(a, b)
    if a.lnum ~= b.lnum then return a.lnum < b.lnum end
    if a.col ~= b.col then return a.col < b.col end
    if tostring(a.code) ~= tostring(b.code) then return tostring(a.code) < tostring(b.code) end
    return a.message < b.message
  end)
  for _, d in ipairs(diagnostics) do
    table.insert(lines, string.format("diagnostic %d %s %s %s", d.lnum + 1,
                                      d.source or "", tostring(d.code or ""), d.message))
  end

  -- Completion where a navigation target is written: the form's control ids.
  local row = vim.fn.search('down="', "w")
  local column = vim.fn.col(".") - 1 + #'down="'
  local uri = vim.uri_from_bufnr(buffer)
  local params = { textDocument = { uri = uri }, position = { line = row - 1, character = column } }
  local answers = vim.lsp.buf_request_sync(buffer, "textDocument/completion", params, 10000)
  assert(answers and answers[client] and answers[client].result, "no completion")
  for _, item in ipairs(answers[client].result) do
    table.insert(lines, "completion " .. item.label .. " " .. (item.detail or ""))
  end
  answers = vim.lsp.buf_request_sync(buffer, "textDocument/hover", params, 10000)
  assert(answers and answers[client] and answers[client].result, "no hover")
  table.insert(lines, "hover " .. answers[client].result.contents.value)

  vim.lsp.stop_client(client)
  assert(vim.wait(10000, function() return exited ~= nil end, 20), "quil-lsp did not exit")
  table.insert(lines, "exit " .. exited)
end)
if not ok then
  table.insert(lines, "failed: " .. tostring(failure))
  finish(1)
else
  finish(0)
end
