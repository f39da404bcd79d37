#include "CMenuReader.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "CListMenu.h"
#include "CqlMenu.h"
#include "MenuRecord.h"

namespace {

// Block offsets are stored in 16 bits.
static_assert(CRecordBuffer::kCapacity <= UINT16_MAX);

}  // namespace

CMenuReader::CMenuReader(CReadContext& context) : ObjectReader(context, kLimit, "Запись меню") {}

CMenuReader::~CMenuReader() = default;

size_t CMenuReader::CountMenus(const CXMLDOM& document, XmlNode& first) {
    first = CListMenu::FirstMenu(document);
    size_t count = 0;
    for (XmlNode menu = first; menu != nullptr; menu = CListMenu::NextMenu(document, menu)) {
        ++count;
    }
    return count;
}

const uint8_t* CMenuReader::Read(size_t& size) {
    size = 0;
    buffer_.Clear();
    const CXMLDOM& document = Document();
    XmlNode menu = nullptr;
    const size_t count = CountMenus(document, menu);
    if (count == 0) {
        return nullptr;
    }
    if (count > kMaxMenus) {
        XmlNode extra = menu;
        for (size_t i = 0; i < kMaxMenus; ++i) {
            extra = CListMenu::NextMenu(document, extra);
        }
        std::string name;
        document.GetAttributeText(extra, "name", name);
        context_.TooMany(kLimit, "меню", kMaxMenus, name, extra);
        return nullptr;
    }

    buffer_.Reserve(MenuRecord::kHeaderSize + count * MenuDirectoryEntry::kSize);
    CqlMenu reader(context_);
    std::string name;
    for (size_t i = 0; i < count; ++i, menu = CListMenu::NextMenu(document, menu)) {
        document.GetAttributeText(menu, "name", name);
        if (name.size() > kMaxNameLength) {
            context_.TooLong(kLimit, "Имя меню", kMaxNameLength, name, menu);
            return nullptr;
        }
        const size_t offset = buffer_.Size();
        size_t blockSize = 0;
        const uint8_t* block = reader.Read(menu, blockSize);
        if (block == nullptr) {
            return Fail(kMenuFailed, "Критическая ошибка в описании меню ", name, menu);
        }
        SetSubject(name);
        SetNode(menu);
        if (!buffer_.AppendBytes(block, blockSize)) {
            return nullptr;
        }
        // The block lies inside the record, so its offset fits 16 bits.
        const size_t entry = MenuRecord::kHeaderSize + i * MenuDirectoryEntry::kSize;
        buffer_.Put16(MenuDirectoryEntry::kNumber.At(entry), static_cast<uint16_t>(i + 1));
        buffer_.Put16(MenuDirectoryEntry::kBlockOffset.At(entry), static_cast<uint16_t>(offset));
    }
    buffer_.Put16(MenuRecord::kMenuCount, static_cast<uint16_t>(count));
    if (buffer_.Failed()) {
        return nullptr;
    }
    size = buffer_.Size();
    return buffer_.Data();
}
