#include "CqlMenu.h"

#include "CqlMenuItem.h"

static_assert(CqlMenu::kMaxItems == 1874);

CqlMenu::CqlMenu(CReadContext& context) : ObjectReader(context, kLimit, "Меню") {}

CqlMenu::~CqlMenu() = default;

const uint8_t* CqlMenu::Read(XmlNode menu, size_t& size) {
    size = 0;
    count_ = 0;
    buffer_.Clear();
    Document().GetAttributeText(menu, "name", name_);
    SetSubject(name_);
    SetNode(menu);
    buffer_.Reserve(MenuBlock::kHeaderSize);
    if (!ReadItems(menu, MenuItemRecord::kNoParent) || buffer_.Failed()) {
        return nullptr;
    }
    // The element's own `type` attribute has no effect.
    buffer_.Put16(MenuBlock::kType, MenuBlock::kMenuType);
    buffer_.Put16(MenuBlock::kItemCount, count_);
    size = buffer_.Size();
    return buffer_.Data();
}

bool CqlMenu::ReadItems(XmlNode node, uint16_t parent) {
    const CXMLDOM& document = Document();
    for (XmlNode child = document.GetFirstChild(node); child != nullptr;
         child = document.GetNextSibling(child)) {
        const uint8_t kind = CqlMenuItem::KindOf(document.GetNodeName(child));
        if (kind == MenuItemRecord::kNoItem) {
            if (!ReadItems(child, parent)) {
                return false;
            }
            continue;
        }
        if (count_ == kMaxItems) {
            context_.TooMany(kLimit, "пунктов меню", kMaxItems, name_, child);
            return false;
        }
        ++count_;
        const auto id = static_cast<uint16_t>(MenuItemRecord::kIdBase + count_);
        CqlMenuItem item(context_);
        const uint8_t* record = item.Read(child, kind, id, parent);
        if (record == nullptr) {
            context_.Error(kItemFailed, "Ошибка чтения меню", child);
            return false;
        }
        if (!buffer_.AppendBytes(record, MenuItemRecord::kSize) || !ReadItems(child, id)) {
            return false;
        }
    }
    return true;
}
