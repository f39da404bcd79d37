#include "CMenuInspector.h"

#include <map>
#include <string>
#include <vector>

#include "CConverter.h"
#include "MenuRecord.h"

namespace {

// Items nested deeper than this are shown at the top level (with their parent id): real menus
// are a few levels deep, and the tree must not grow the stack of whoever walks it.
constexpr size_t kMaxDepth = 32;

std::string N(size_t value) {
    return std::to_string(value);
}

const char* KindName(uint8_t kind) {
    switch (kind) {
        case MenuItemRecord::kSeparator:
            return "separator";
        case MenuItemRecord::kSubmenu:
            return "submenu";
        case MenuItemRecord::kMenuItem:
            return "item";
        default:
            return "unknown";
    }
}

}  // namespace

CMenuInspector::CMenuInspector(CByteReader record, int index, CStringPool& pool,
                               CProblemList& problems)
    : record_(record), index_(index), pool_(pool), problems_(problems) {}

CMenuInspector::~CMenuInspector() = default;

Json CMenuInspector::Read() {
    Json menus = Json::array();
    if (!record_.Fits(MenuRecord::kMenuCount)) {
        problems_.Add(index_, 0, "the menus record has no menu count");
        return menus;
    }
    size_t count = record_.Value(MenuRecord::kMenuCount);
    const size_t directoryEnd = MenuRecord::kHeaderSize + MenuDirectoryEntry::kSize * count;
    if (!record_.Fits(0, directoryEnd)) {
        problems_.Add(index_, MenuRecord::kMenuCount.offset,
                      "the directory of " + N(count) + " menus would end at offset " +
                          N(directoryEnd) + ", past the end of the record (" + N(record_.Size()) +
                          " bytes)");
        count = (record_.Size() - MenuRecord::kHeaderSize) / MenuDirectoryEntry::kSize;
    }
    menuCount_ = count;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = MenuRecord::kHeaderSize + MenuDirectoryEntry::kSize * i;
        const size_t number = record_.Value(MenuDirectoryEntry::kNumber, entry);
        const size_t offset = record_.Value(MenuDirectoryEntry::kBlockOffset, entry);
        if (number != i + 1) {
            problems_.Add(index_, entry + MenuDirectoryEntry::kNumber.offset,
                          "menu " + N(i + 1) + " of the directory has the number " + N(number));
        }
        if (offset < directoryEnd || !record_.Fits(offset, MenuBlock::kHeaderSize)) {
            problems_.Add(index_, entry + MenuDirectoryEntry::kBlockOffset.offset,
                          "the block of menu " + N(i + 1) + " at offset " + N(offset) +
                              " does not lie in the record after the directory (offsets " +
                              N(directoryEnd) + " to " + N(record_.Size()) + ")");
            Json menu = ObjectWithRoom(3);
            menu["number"] = number;
            menu["offset"] = offset;
            menu["items"] = Json::array();
            menus.push_back(std::move(menu));
            continue;
        }
        menus.push_back(ReadBlock(number, offset));
    }
    return menus;
}

Json CMenuInspector::ReadBlock(size_t number, size_t offset) {
    const size_t type = record_.Value(MenuBlock::kType, offset);
    if (type != MenuBlock::kMenuType) {
        problems_.Add(
            index_, offset + MenuBlock::kType.offset,
            "menu " + N(number) + " has the type " + N(type) + ", not " + N(MenuBlock::kMenuType));
    }
    size_t count = record_.Value(MenuBlock::kItemCount, offset);
    const size_t first = offset + MenuBlock::kHeaderSize;
    if (!record_.Fits(first, MenuItemRecord::kSize * count)) {
        problems_.Add(index_, offset + MenuBlock::kItemCount.offset,
                      "menu " + N(number) + " says it has " + N(count) +
                          " items, more than the record holds after its block start");
        count = (record_.Size() - first) / MenuItemRecord::kSize;
    }

    // The items arrive parents first; each is hung under its parent when that was read before.
    Json items = Json::array();
    std::map<size_t, std::vector<size_t>> path;  // item id -> indexes leading to it in `items`
    for (size_t k = 0; k < count; ++k) {
        const size_t at = first + MenuItemRecord::kSize * k;
        if (!problems_.Spend({index_, at})) {
            break;
        }
        const size_t id = record_.Value(MenuItemRecord::kId, at);
        const size_t parent = record_.Value(MenuItemRecord::kParent, at);
        const auto kind = static_cast<uint8_t>(record_.Value(MenuItemRecord::kKind, at));
        bool terminated = false;
        const std::string title = record_.FieldText(MenuItemRecord::kTitle, at, terminated);
        pool_.SetContext("menu " + N(number) + ", item " + N(id));
        if (!terminated) {
            problems_.Add(index_, at + MenuItemRecord::kTitle.offset,
                          "the title of item " + N(id) + " of menu " + N(number) +
                              " has no terminating zero");
        }
        if (kind < MenuItemRecord::kSeparator || kind > MenuItemRecord::kMenuItem) {
            problems_.Add(index_, at + MenuItemRecord::kKind.offset,
                          "item " + N(id) + " of menu " + N(number) + " has the kind " + N(kind) +
                              ", none of separator 1, submenu 2, item 3");
        }
        const auto shortcut = static_cast<char>(record_.Value(MenuItemRecord::kShortcut, at));
        Json item = ObjectWithRoom(7);
        item["id"] = id;
        item["kind"] = KindName(kind);
        item["title"] = CConverter::ToUtf8(title);
        item["parent"] = parent;
        item["shortcut"] =
            shortcut == 0 ? Json() : Json(CConverter::ToUtf8(std::string(1, shortcut)));
        item["action"] =
            pool_.Action(static_cast<uint32_t>(record_.Value(MenuItemRecord::kCode, at)),
                         {index_, at + MenuItemRecord::kCode.offset}, "action");
        item["children"] = Json::array();

        std::vector<size_t> where;
        if (parent != MenuItemRecord::kNoParent) {
            const auto found = path.find(parent);
            if (found == path.end()) {
                problems_.Add(index_, at + MenuItemRecord::kParent.offset,
                              "item " + N(id) + " of menu " + N(number) + " names the parent " +
                                  N(parent) + ", which is no item read before it");
            } else if (found->second.size() < kMaxDepth) {
                where = found->second;
            }
        }
        Json* list = &items;
        for (const size_t step : where) {
            list = &(*list)[step]["children"];
        }
        where.push_back(list->size());
        list->push_back(std::move(item));
        if (!path.emplace(id, std::move(where)).second) {
            problems_.Add(index_, at + MenuItemRecord::kId.offset,
                          "menu " + N(number) + " has two items with the id " + N(id));
        }
    }
    pool_.SetContext("");
    Json block = ObjectWithRoom(4);
    block["number"] = number;
    block["offset"] = offset;
    block["type"] = type;
    block["items"] = std::move(items);
    return block;
}
