#include "CqlReference.h"

#include "ReferenceRecord.h"

namespace {

// The reference's messages name a document: that is how the handheld's integrators know them.
const CqlObject::Kind kReference{
    .nameCode = CqlReference::kNameMissing,
    .nameMissing = "Отсутствует реквизит document->name",
    .viewCode = CqlReference::kViewMissing,
    .viewMissing = "Отсутствует реквизит document->view документа: ",
    .limitCode = CqlReference::kLimitCode,
    .nameLabel = "Имя справочника",
    .viewLabel = "Представление справочника",
    .dataWhat = "Данные справочника",
};

const CqlObject::DatabaseMessages kDatabase{
    .noDescriptionCode = CqlReference::kNoDatabase,
    .noDescription = "Не задано описание БД справочника ",
    .noNameCode = CqlReference::kNoDatabaseName,
    .noName = "Отсутствует реквизит Reference->Data->Database Name",
    .tooLongCode = CqlReference::kDatabaseNameTooLong,
    .tooLong = "Длина имени БД справочника превышает 32 символа. Справочник: ",
};

}  // namespace

CqlReference::CqlReference(CReadContext& context)
    : CqlObject(context, kReference, ReferenceHeader::kSize) {}

CqlReference::~CqlReference() = default;

const uint8_t* CqlReference::Read(XmlNode element, uint16_t dataOffset) {
    Start(dataOffset);
    if (!ReadNameAndView(element) ||
        !ReadDatabaseName(element, ReferenceHeader::kDatabaseName, kDatabase) ||
        !ReadEntries(element) || !ReadForms(element, false)) {
        return nullptr;
    }
    if (!ReadInit(element)) {
        return nullptr;
    }
    return Complete() ? Header() : nullptr;
}
