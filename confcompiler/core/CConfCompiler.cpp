#include "CConfCompiler.h"

#include <optional>
#include <ostream>
#include <string_view>

#include "CExpressionCheck.h"
#include "CHashWriter.h"
#include "CInfoReader.h"
#include "CLog.h"
#include "CPdb.h"
#include "CStringsReader.h"
#include "CXMLDOM.h"

namespace {

// Adds a record and reports a refusal of the writer.
bool AddRecord(CPdb& pdb, const uint8_t* data, size_t size) {
    if (pdb.AddRecord(data, size)) {
        return true;
    }
    CLog::Message(true, "Слишком много записей в базе данных.", 0);
    return false;
}

// A section whose reader this build does not have yet yields no record.
const uint8_t* MissingSection(CXMLDOM&, size_t& size) {
    size = 0;
    return nullptr;
}

}  // namespace

CConfCompiler::SectionReaders CConfCompiler::DefaultReaders() {
    return SectionReaders{MissingSection, MissingSection, MissingSection,
                          MissingSection, MissingSection, MissingSection};
}

CConfCompiler::CConfCompiler() : readers_(DefaultReaders()) {}

CConfCompiler::CConfCompiler(SectionReaders readers) : readers_(std::move(readers)) {}

CConfCompiler::~CConfCompiler() = default;

void CConfCompiler::PrintBanner() {
    CLog::Info("Норвил АРМ: компилятор конфигураций мобильного клиента.");
    CLog::Info("Справка: quilconf --help и файл README.md в комплекте компилятора.");
    CLog::Info(std::string("Версия компилятора конфигураций: ") + kVersion);
}

void CConfCompiler::PrintHelp() {
    std::ostream& out = CLog::Stream();
    out << "Использование:\n"
           "  quilconf ФАЙЛ_КОНФИГУРАЦИИ [ФАЙЛ_БАЗЫ]\n"
           "      Компилирует конфигурацию (корневой элемент quillora) в базу данных\n"
           "      ФАЙЛ_БАЗЫ (по умолчанию "
        << kDefaultOutput
        << ").\n"
           "  quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]\n"
           "      Компилирует одно выражение действий и показывает его код, тексты и\n"
           "      обратный разбор; --controls задает id элементов формы по порядку.\n"
           "      Коды завершения: 0 - выражение верно, 1 - ошибка, 2 - неверный вызов.\n"
           "  quilconf --help      эта справка\n"
           "  quilconf --version   версия компилятора\n"
           "\n"
           "Коды завершения: 0 - база записана (или справка); 1 - документ не загружен\n"
           "или нет корневого элемента; 255 - ошибка чтения обязательного раздела,\n"
           "превышение ограничения или ошибка записи файла.\n"
        << std::flush;
}

int CConfCompiler::RunExpressionCheck(const std::vector<std::string>& args) {
    // quilconf --expr EXPRESSION [--controls ID,ID,...], the options in any order, each once.
    std::optional<std::string> expression;
    std::optional<std::string> controls;
    bool valid = args.size() == 2 || args.size() == 4;
    for (size_t i = 0; valid && i + 1 < args.size(); i += 2) {
        std::optional<std::string>& value = args[i] == "--expr" ? expression : controls;
        valid = (args[i] == "--expr" || args[i] == "--controls") && !value;
        value = args[i + 1];
    }
    if (!valid || !expression) {
        CLog::Message(true, "Синтаксис: quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]", 0);
        return CExpressionCheck::kUsageError;
    }
    return CExpressionCheck::Run(*expression, controls, CLog::Stream());
}

int CConfCompiler::Run(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--expr" || args[0] == "--controls")) {
        return RunExpressionCheck(args);
    }
    if (!args.empty() && args[0] == "--version") {
        CLog::Info(std::string("Версия компилятора конфигураций: ") + kVersion);
        return kWritten;
    }
    if (!args.empty() && args[0] == "--help") {
        PrintBanner();
        PrintHelp();
        return kWritten;
    }

    CXMLDOM document;
    CPdb pdb;
    uint16_t counter = 0;

    PrintBanner();
    if (args.empty()) {
        CLog::Info("Синтаксис: quilconf.exe имя_файла");
        return kWritten;
    }

    if (!document.Load(args[0])) {
        CLog::Info("Не удается загрузить указанный документ ");
        CLog::Info(document.LastError());
        return kNotLoaded;
    }

    CInfoReader info;
    const int infoResult = info.Read(document);
    if (infoResult != CInfoReader::kOk) {
        return infoResult == CInfoReader::kNoRoot ? kNotLoaded : kFailed;
    }
    size_t size = 0;
    const uint8_t* record = info.Build(size);
    if (record == nullptr || size == 0) {
        CLog::Message(true, "Критическая ошибка.", 0);
        return kFailed;
    }
    if (!AddRecord(pdb, record, size)) {
        return kFailed;
    }
    ++counter;

    CHashWriter hash;
    record = hash.Build(size);
    if (!AddRecord(pdb, record, size)) {
        return kFailed;
    }
    ++counter;

    // The sections in their fixed order. A failed mandatory section ends the run; the
    // record-view section is skipped instead. Only the frames may yield an empty record.
    struct Section {
        const SectionReader& reader;
        void (CInfoReader::*setSlot)(uint16_t);
        const char* reading;
        const char* failure;
        const char* success;
        bool blankBefore;
        bool blankAfter;
        bool mandatory;
        bool emptyAllowed;
    };
    const Section sections[] = {
        {readers_.menus, &CInfoReader::SetMenuRecord, "Чтение меню",
         "Критическая ошибка чтения описания меню", "Описание меню уcпешно прочитано", true, true,
         true, false},
        {readers_.journals, &CInfoReader::SetJournalRecord, "Чтение журналов документов",
         "Критическая ошибка чтения описания журналов документов",
         "Описание журналов документов уcпешно прочитано", false, true, true, false},
        {readers_.documents, &CInfoReader::SetDocumentRecord, "Чтение документов",
         "Критическая ошибка чтения описания документов", "Описание документов уcпешно прочитано",
         false, false, true, false},
        {readers_.recordViews, &CInfoReader::SetRecordViewRecord, "Чтение форм просмотра записей.",
         "Ошибка чтения описания форм просмотра записей.",
         "Описания форм просмотра записей успешно прочитано.", false, false, false, false},
        {readers_.references, &CInfoReader::SetReferenceRecord, "Чтение справочников",
         "Критическая ошибка чтения описания справочников",
         "Описание справочников уcпешно прочитано", true, true, true, false},
        {readers_.frames, &CInfoReader::SetFrameRecord, "Чтение форм-меню",
         "Критическая ошибка чтения описания форм-меню", "Описание форм-меню уcпешно прочитано",
         false, false, true, true},
    };

    bool haveRecordViews = true;
    for (const Section& section : sections) {
        if (section.blankBefore) {
            CLog::BlankLine();
        }
        CLog::Info(section.reading);
        size = 0;
        record = section.reader(document, size);
        if (record == nullptr || (size == 0 && !section.emptyAllowed)) {
            CLog::Info(section.failure);
            if (section.mandatory) {
                return kFailed;
            }
            haveRecordViews = false;
            continue;
        }
        if (!AddRecord(pdb, record, size)) {
            return kFailed;
        }
        (info.*section.setSlot)(counter++);
        CLog::Info(section.success);
        if (section.blankAfter) {
            CLog::BlankLine();
        }
    }

    // String references name record 8. Without a record-view record the strings record
    // would move to 7, so an empty record keeps it in its place.
    if (!haveRecordViews && !AddRecord(pdb, nullptr, 0)) {
        return kFailed;
    }

    record = CStringsReader::BuildRecord(size);
    if (record == nullptr || CStringsReader::Overflowed()) {
        CLog::Message(true, "Критическая ошибка.", 0);
        return kFailed;
    }
    if (!AddRecord(pdb, record, size)) {
        return kFailed;
    }

    record = info.Build(size);
    pdb.ReplaceRecord(record, 0);

    CLog::BlankLine();
    const std::string output = args.size() >= 2 ? args[1] : kDefaultOutput;
    pdb.SetName(kDatabaseName);
    if (!pdb.Write(output, CLog::Stream())) {
        return kFailed;
    }
    CLog::WideLine("Конфигурация сохранена в файл ", output);
    return kWritten;
}
