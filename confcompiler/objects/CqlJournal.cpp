#include "CqlJournal.h"

#include <string>

#include "CStringsReader.h"
#include "JournalRecord.h"

namespace {

const CqlObject::Kind kJournal{
    .nameCode = CqlJournal::kNameMissing,
    .nameMissing = "Отсутствует реквизит juornal->name",
    .viewCode = CqlJournal::kViewMissing,
    .viewMissing = "Отсутствует реквизит juornal->view формы-меню: ",
    .limitCode = CqlJournal::kLimitCode,
    .nameLabel = "Имя журнала",
    .viewLabel = "Представление журнала",
    .dataWhat = "Данные журнала",
};

}  // namespace

CqlJournal::CqlJournal(CReadContext& context)
    : CqlObject(context, kJournal, JournalHeader::kSize) {}

CqlJournal::~CqlJournal() = default;

const uint8_t* CqlJournal::Read(XmlNode element, uint16_t dataOffset) {
    Start(dataOffset);
    if (!ReadNameAndView(element) || !ReadDocuments(element) || !ReadEntries(element) ||
        !ReadForms(element, false)) {
        return nullptr;
    }
    if (!ReadInit(element)) {
        return nullptr;
    }
    return Complete() ? Header() : nullptr;
}

bool CqlJournal::ReadDocuments(XmlNode element) {
    const CXMLDOM& document = Document();
    // The search visits `data`, its descendants, then its following siblings and theirs.
    XmlNode jrndocument = document.FindNode(document.FindChild(element, "data"), "jrndocument");
    if (jrndocument == nullptr) {
        context_.Error(kNoDocuments, "Отсутствует описание документов для журнала ", name_,
                       element);
        return true;  // kept, without documents: count and reference stay 0
    }
    const Subject listSubject{"Список документов журнала", name_, jrndocument};
    CRecordBuffer list;
    Report(list, listSubject);
    uint16_t count = 0;
    for (; jrndocument != nullptr;
         jrndocument = document.FindNextSibling(jrndocument, "jrndocument")) {
        std::string name;
        if (document.GetAttributeText(jrndocument, "name", name) != 0) {
            context_.Warning(kDocumentNameMissing, "Отсутствует реквизит document->name журнала ",
                             name_, jrndocument);
            continue;
        }
        list.AppendString(name);
        ++count;
    }
    header_.Put16(JournalHeader::kDocumentCount, count);
    return !list.Failed() && PoolBytes(header_, JournalHeader::kDocuments, list.Bytes(), element);
}
