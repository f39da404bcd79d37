#include "CqlFrame.h"

#include "ObjectHeader.h"

namespace {

const CqlObject::Kind kFrame{
    .nameCode = CqlFrame::kNameMissing,
    .nameMissing = "Отсутствует реквизит frame->name",
    .viewCode = CqlFrame::kViewMissing,
    .viewMissing = "Отсутствует реквизит frame->view формы-меню: ",
    .limitCode = CqlFrame::kLimitCode,
    .nameLabel = "Имя формы-меню",
    .viewLabel = "Представление формы-меню",
    .dataWhat = "Данные формы-меню",
};

}  // namespace

CqlFrame::CqlFrame(CReadContext& context) : CqlObject(context, kFrame, ObjectHeader::kSize) {}

CqlFrame::~CqlFrame() = default;

const uint8_t* CqlFrame::Read(XmlNode element, uint16_t dataOffset) {
    Start(dataOffset);
    if (!ReadNameAndView(element) || !ReadEntries(element) || !ReadForms(element, false)) {
        return nullptr;
    }
    if (!ReadInit(element)) {
        return nullptr;
    }
    return Complete() ? Header() : nullptr;
}
