#include "CqlDocument.h"

#include <string>

#include "AsciiCase.h"
#include "CListEntry.h"
#include "CStringsReader.h"
#include "DocumentRecord.h"

namespace {

const CqlObject::Kind kDocument{
    .nameCode = CqlDocument::kNameMissing,
    .nameMissing = "Отсутствует реквизит document->name",
    .viewCode = CqlDocument::kViewMissing,
    .viewMissing = "Отсутствует реквизит document->view документа: ",
    .limitCode = CqlDocument::kLimitCode,
    .nameLabel = "Имя документа",
    .viewLabel = "Представление документа",
    .dataWhat = "Данные документа",
};

const CqlObject::DatabaseMessages kDatabase{
    .noDescriptionCode = CqlDocument::kPrefixMissing,
    .noDescription = "Не задано описание БД документа ",
    .noNameCode = CqlDocument::kNoDatabaseName,
    .noName = "Отсутствует реквизит Document->Data->Database Name",
    .tooLongCode = CqlDocument::kDatabaseNameTooLong,
    .tooLong = "Длина имени БД документа превышает 32 символа. Документ: ",
};

}  // namespace

CqlDocument::CqlDocument(CReadContext& context)
    : CqlObject(context, kDocument, DocumentHeader::kSize) {}

CqlDocument::~CqlDocument() = default;

const uint8_t* CqlDocument::Read(XmlNode element, uint16_t dataOffset) {
    Start(dataOffset);
    const CXMLDOM& document = Document();
    // The name list counts the table entries, common ones included; it is built first.
    CListEntry names(context_);
    if (names.Build(element, true) < 0 || !ReadNameAndView(element)) {
        return nullptr;
    }
    std::string prefix;
    if (document.GetAttributeText(element, "prefix", prefix) != 0) {
        return Fail(kPrefixMissing, "Отсутствует реквизит document->prefix документа: ", name_,
                    element);
    }
    if (!FixedText(header_, DocumentHeader::kPrefix, prefix, "Префикс документа", element)) {
        return nullptr;
    }
    uint8_t pdaCreate = 0;
    uint8_t hasJournal = 1;
    document.GetAttributeBool(element, "pdaCreate", pdaCreate);
    document.GetAttributeBool(element, "hasJournal", hasJournal);
    header_.Put8(DocumentHeader::kPdaCreate, pdaCreate);
    header_.Put8(DocumentHeader::kHasJournal, hasJournal);

    if (!ReadDatabaseName(element, DocumentHeader::kDatabaseName, kDatabase) ||
        !ReadInheritances(element)) {
        return nullptr;
    }
    header_.Put16(DocumentHeader::kTableEntryCount, static_cast<uint16_t>(names.TableCount()));
    if (!ReadEntries(element)) {
        return nullptr;
    }
    if (!ReadForms(element, true)) {
        return Fail(kFormsFailed, "Ошибка чтения форм документа", name_, element);
    }
    if (!ReadFieldDescription(element)) {
        return nullptr;
    }
    if (!ReadInit(element) || !ReadAction(element, "save", DocumentHeader::kSave) ||
        !ReadAction(element, "copy", DocumentHeader::kCopy) ||
        !ReadAction(element, "delete", DocumentHeader::kDelete)) {
        return nullptr;
    }
    return Complete() ? Header() : nullptr;
}

bool CqlDocument::ReadInheritances(XmlNode element) {
    const CXMLDOM& document = Document();
    XmlNode inheritance =
        document.FindChild(document.FindChild(element, "inheritances"), "inheritance");
    if (inheritance == nullptr) {
        return true;  // count and list stay 0
    }
    const Subject listSubject{"Список наследований документа", name_, inheritance};
    CRecordBuffer list;
    Report(list, listSubject);
    uint16_t count = 0;
    for (; inheritance != nullptr;
         inheritance = document.FindNextSibling(inheritance, "inheritance")) {
        std::string name;
        if (document.GetAttributeText(inheritance, "name", name) != 0) {
            context_.Warning(kInheritanceNameMissing,
                             "Отсутствует реквизит inheritance->name документа: ", name_,
                             inheritance);
            continue;
        }
        list.AppendString(name);
        ++count;
    }
    header_.Put16(DocumentHeader::kInheritanceCount, count);
    return !list.Failed() &&
           PoolBytes(header_, DocumentHeader::kInheritances, list.Bytes(), element);
}

bool CqlDocument::ReadFieldDescription(XmlNode element) {
    const Subject descriptionSubject{"Описание полей документа", name_, element};
    CRecordBuffer description;
    Report(description, descriptionSubject);
    if (!GetDS(element, description)) {
        if (!description.Failed()) {
            Fail(kNoFieldDescription, "Ошибка чтения документа GetDS ", name_, element);
        }
        return false;
    }
    return PoolBytes(header_, DocumentHeader::kFieldDescription, description.Bytes(), element);
}

bool CqlDocument::GetDS(XmlNode element, CRecordBuffer& description) {
    const CXMLDOM& document = Document();
    description.Clear();
    description.Reserve(2);
    uint16_t count = 0;
    if (const XmlNode common = document.FindNode(document.GetFirstNode(), "commonEntries");
        common != nullptr) {
        const XmlNode first = document.FindChild(common, "entry");
        if (first == nullptr) {
            return false;
        }
        count = Describe(first, description);
        if (count == 0) {
            return false;
        }
    }
    const XmlNode first = document.FindChild(document.FindChild(element, "entries"), "entry");
    if (first == nullptr) {
        return false;
    }
    count = static_cast<uint16_t>(count + Describe(first, description));
    description.Put16(0, count);
    return !description.Failed();
}

uint16_t CqlDocument::Describe(XmlNode first, CRecordBuffer& description) {
    const CXMLDOM& document = Document();
    uint16_t count = 0;
    for (XmlNode entry = first; entry != nullptr;
         entry = document.FindNextSibling(entry, "entry")) {
        std::string text;
        document.GetAttributeText(entry, "type", text);
        if (AsciiCase::Equal(text, "table")) {
            continue;
        }
        for (const char* attribute : {"name", "dbtype", "view", "default"}) {
            document.GetAttributeText(entry, attribute, text);
            description.AppendString(text);
        }
        ++count;
    }
    return count;
}
