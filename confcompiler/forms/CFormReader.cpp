#include "CFormReader.h"

#include <optional>
#include <string>
#include <utility>

#include "CActsReader.h"
#include "CControlReader.h"
#include "CListControl.h"
#include "CStringsReader.h"
#include "FormHeader.h"

CFormReader::CFormReader(CReadContext& context)
    : ObjectReader(context, CControlReader::kLimitCode, "Элементы управления форм объекта"),
      headersSubject_{"Таблица форм объекта", {}, nullptr} {
    Report(headers_, headersSubject_);
}

CFormReader::~CFormReader() = default;

const uint8_t* CFormReader::Read(XmlNode object, size_t& size, uint16_t& formCount,
                                 uint16_t baseOffset, bool useCommonEntries) {
    size = 0;
    formCount = 0;
    formTable_ = 0;
    controlCount_ = 0;
    buffer_.Clear();
    headers_.Clear();
    headersSubject_.node = object;
    const CXMLDOM& document = Document();
    menus_.Load(document);

    // Forms written directly under the object; only when there is none, those under `forms`.
    XmlNode form = document.FindChild(object, "form");
    if (form == nullptr) {
        form = document.FindChild(document.FindChild(object, "forms"), "form");
    }
    std::string objectName;
    document.GetAttributeText(object, "name", objectName);
    for (; form != nullptr; form = document.FindNextSibling(form, "form")) {
        if (formCount == kMaxForms) {
            context_.TooMany(CControlReader::kLimitCode, "форм объекта", kMaxForms, objectName,
                             form);
            return nullptr;
        }
        if (!ReadForm(form, object, baseOffset, useCommonEntries)) {
            return nullptr;
        }
        ++formCount;
    }

    formTable_ = context_.Pool().AddBytes(headers_.Data(), headers_.Size(),
                                          CControlReader::kLimitCode, context_.Location(object));
    if (formTable_ == 0) {
        return nullptr;
    }
    size = buffer_.Size();
    return buffer_.Data();
}

bool CFormReader::ReadForm(XmlNode form, XmlNode object, uint16_t baseOffset,
                           bool useCommonEntries) {
    const CXMLDOM& document = Document();
    SetNode(form);
    CListControl controls;
    controls.Build(document, document.FindChild(form, "controls"));

    const Subject headerSubject{"Заголовок формы", {}, form};
    CRecordBuffer header(FormHeader::kSize);
    Report(header, headerSubject);
    header.Reserve(FormHeader::kSize);
    std::string name;
    document.GetAttributeText(form, "name", name);
    if (!FixedText(header, FormHeader::kName, name, "Имя формы", form)) {
        return false;
    }

    CActsReader acts(context_);
    const std::pair<RecordField, std::string_view> events[] = {{FormHeader::kPreopen, "preopen"},
                                                               {FormHeader::kOpen, "open"},
                                                               {FormHeader::kClose, "close"}};
    for (const auto& [field, eventName] : events) {
        const std::optional<uint32_t> code =
            acts.Read(CActsReader::FindEvent(document, form, eventName), &controls);
        if (!code) {
            return false;  // a refused limit
        }
        header.Put32(field, *code);
    }

    std::string menuName;
    if (document.GetAttributeText(form, "menuname", menuName) == 0) {
        header.Put16(FormHeader::kMenu, menus_.Find(menuName));
    }
    uint16_t layers = 0;
    uint16_t firstNav = 0;
    document.GetAttributeShort(form, "layers", layers);
    document.GetAttributeShort(form, "firstNav", firstNav);
    header.Put16(FormHeader::kLayers, layers);
    header.Put16(FormHeader::kFirstControl, controls.IndexOf(firstNav));
    header.Put16(FormHeader::kControlsOffset, static_cast<uint16_t>(baseOffset + buffer_.Size()));

    CControlReader reader(context_);
    size_t size = 0;
    uint16_t count = 0;
    const uint8_t* records = reader.Read(form, object, size, count, useCommonEntries);
    if (records == nullptr) {
        return false;
    }
    if (controlCount_ + count > CControlReader::kMaxControls) {
        std::string objectName;
        document.GetAttributeText(object, "name", objectName);
        context_.TooMany(CControlReader::kLimitCode, "элементов control в формах объекта",
                         CControlReader::kMaxControls, objectName, form);
        return false;
    }
    controlCount_ += count;
    header.Put16(FormHeader::kControlCount, count);
    return buffer_.AppendBytes(records, size) && !header.Failed() &&
           headers_.AppendBytes(header.Bytes());
}
