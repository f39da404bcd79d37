#include "CqlObject.h"

#include "CActsReader.h"
#include "CEntryReader.h"
#include "CFormReader.h"
#include "ObjectHeader.h"

CqlObject::CqlObject(CReadContext& context, const Kind& kind, size_t headerSize)
    : ObjectReader(context, kind.limitCode, kind.dataWhat),
      kind_(kind),
      header_(headerSize),
      headerSubject_{"Заголовок объекта", {}, nullptr} {
    Report(header_, headerSubject_);
}

CqlObject::~CqlObject() = default;

void CqlObject::Start(uint16_t dataOffset) {
    header_.Clear();
    header_.Reserve(header_.Capacity());
    buffer_.Clear();
    name_.clear();
    dataOffset_ = dataOffset;
}

bool CqlObject::ReadNameAndView(XmlNode element) {
    const CXMLDOM& document = Document();
    SetNode(element);
    headerSubject_.node = element;
    if (document.GetAttributeText(element, "name", name_) != 0) {
        Fail(kind_.nameCode, kind_.nameMissing, element);
        return false;
    }
    SetSubject(name_);
    std::string view;
    if (!FixedText(header_, ObjectHeader::kName, name_, kind_.nameLabel, element)) {
        return false;
    }
    if (document.GetAttributeText(element, "view", view) != 0) {
        Fail(kind_.viewCode, kind_.viewMissing, name_, element);
        return false;
    }
    return FixedText(header_, ObjectHeader::kView, view, kind_.viewLabel, element);
}

bool CqlObject::ReadEntries(XmlNode element) {
    header_.Put16(ObjectHeader::kDataOffset, dataOffset_);
    CEntryReader entries(context_);
    entries.SetObjectName(name_);
    size_t size = 0;
    uint16_t count = 0;
    const uint8_t* records = entries.Read(Document().FindChild(element, "entries"), size, count);
    if (entries.Failed()) {
        return false;
    }
    header_.Put16(ObjectHeader::kEntryCount, count);
    return records == nullptr || buffer_.AppendBytes(records, size);
}

bool CqlObject::ReadForms(XmlNode element, bool useCommonEntries) {
    CFormReader forms(context_);
    size_t size = 0;
    uint16_t count = 0;
    const auto base = static_cast<uint16_t>(dataOffset_ + buffer_.Size());
    const uint8_t* records = forms.Read(element, size, count, base, useCommonEntries);
    if (records == nullptr) {
        return false;
    }
    header_.Put16(ObjectHeader::kFormCount, count);
    header_.Put32(ObjectHeader::kFormTable, forms.GetFormTable());
    return buffer_.AppendBytes(records, size);
}

bool CqlObject::ReadDatabaseName(XmlNode element, RecordField field,
                                 const DatabaseMessages& messages) {
    const CXMLDOM& document = Document();
    const XmlNode database = document.FindChild(document.FindChild(element, "data"), "database");
    std::string name = "QL_" + name_;
    if (database == nullptr) {
        context_.Warning(messages.noDescriptionCode, messages.noDescription, name_, element);
    } else if (document.GetAttributeText(database, "name", name) != 0) {
        name = "QL_" + name_;
        context_.Warning(messages.noNameCode, messages.noName, name_, database);
    }
    if (name.size() >= field.size) {
        Fail(messages.tooLongCode, messages.tooLong, name_, database ? database : element);
        return false;
    }
    return FixedText(header_, field, name, "Имя базы данных", element);
}

bool CqlObject::ReadAction(XmlNode element, std::string_view event, RecordField field) {
    CActsReader acts(context_);
    const std::optional<uint32_t> code =
        acts.Read(CActsReader::FindEvent(Document(), element, event), nullptr);
    return code && header_.Put32(field, *code);
}

bool CqlObject::ReadInit(XmlNode element) {
    return ReadAction(element, "init", ObjectHeader::kInit);
}
