#include "CControlReader.h"

#include <string>

#include "CControl.h"
#include "CListControl.h"
#include "CListEntry.h"

CControlReader::CControlReader(CReadContext& context)
    : ObjectReader(context, kLimitCode, "Элементы управления формы") {}

CControlReader::~CControlReader() = default;

const uint8_t* CControlReader::Read(XmlNode form, XmlNode object, size_t& size, uint16_t& count,
                                    bool useCommonEntries) {
    size = 0;
    count = 0;
    buffer_.Clear();
    SetNode(form);
    const CXMLDOM& document = Document();
    const XmlNode controls = document.FindChild(form, "controls");
    if (controls == nullptr) {
        context_.Warning(kCode, "Не найдено controls", form);
        return nullptr;
    }

    CListEntry entries(context_);
    if (entries.Build(object, useCommonEntries) < 0) {
        return nullptr;  // a refused limit, reported
    }
    CListControl ids;
    ids.Build(document, controls);

    std::string formName;
    document.GetAttributeText(form, "name", formName);
    int ordinal = 0;
    for (XmlNode element = document.FindChild(controls, "control"); element != nullptr;
         element = document.FindNextSibling(element, "control")) {
        ++ordinal;
        if (count == kMaxControls) {
            context_.TooMany(kLimitCode, "элементов control в форме", kMaxControls, formName,
                             element);
            return nullptr;
        }
        CControl control(context_);
        size_t recordSize = 0;
        const uint8_t* record = control.Read(element, &entries, &ids, recordSize);
        if (record == nullptr) {
            return Fail(kCode, "Неверное описание элемента Control, порядковый номер",
                        std::to_string(ordinal), element);
        }
        if (!buffer_.AppendBytes(record, recordSize)) {
            return nullptr;
        }
        ++count;
    }
    size = buffer_.Size();
    return buffer_.Data();
}
