#include "CConfCompiler.h"

#include <cassert>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "CDocumentReader.h"
#include "CExpressionCheck.h"
#include "CFrameReader.h"
#include "CFunctionList.h"
#include "CHashWriter.h"
#include "CInfoReader.h"
#include "CJournalReader.h"
#include "CMenuReader.h"
#include "CPdb.h"
#include "CPlatform.h"
#include "CReadContext.h"
#include "CRecordViewReader.h"
#include "CReferenceReader.h"
#include "CStringsReader.h"
#include "CXMLDOM.h"
#include "ConsoleLine.h"
#include "QuilVersion.h"

namespace {

// The section reader of class `Reader` (constructed with the read context, `Read(size)`
// giving its record): a fresh reader per call, kept until the next call so that the record
// it hands out stays valid while the driver copies it.
template <class Reader>
CConfCompiler::SectionReader Use() {
    auto reader = std::make_shared<std::unique_ptr<Reader>>();
    return [reader](CReadContext& context, size_t& size) -> const uint8_t* {
        *reader = std::make_unique<Reader>(context);
        return (*reader)->Read(size);
    };
}

// One section of the run, in the table below.
struct Section {
    CConfCompiler::SectionReader CConfCompiler::SectionReaders::*reader;
    void (CInfoReader::*setSlot)(uint16_t);
    const char* reading;
    const char* failure;
    const char* success;
    bool blankBefore = false;
    bool blankAfter = false;
    // A failed optional section is skipped; a failed mandatory one ends the run.
    bool mandatory = true;
    // Only the frames may yield an empty record.
    bool emptyAllowed = false;
};

// The sections in their fixed order.
const Section kSections[] = {
    {.reader = &CConfCompiler::SectionReaders::menus,
     .setSlot = &CInfoReader::SetMenuRecord,
     .reading = "Чтение меню",
     .failure = "Критическая ошибка чтения описания меню",
     .success = "Описание меню уcпешно прочитано",
     .blankBefore = true,
     .blankAfter = true},
    {.reader = &CConfCompiler::SectionReaders::journals,
     .setSlot = &CInfoReader::SetJournalRecord,
     .reading = "Чтение журналов документов",
     .failure = "Критическая ошибка чтения описания журналов документов",
     .success = "Описание журналов документов уcпешно прочитано",
     .blankAfter = true},
    {.reader = &CConfCompiler::SectionReaders::documents,
     .setSlot = &CInfoReader::SetDocumentRecord,
     .reading = "Чтение документов",
     .failure = "Критическая ошибка чтения описания документов",
     .success = "Описание документов уcпешно прочитано"},
    {.reader = &CConfCompiler::SectionReaders::recordViews,
     .setSlot = &CInfoReader::SetRecordViewRecord,
     .reading = "Чтение форм просмотра записей.",
     .failure = "Ошибка чтения описания форм просмотра записей.",
     .success = "Описания форм просмотра записей успешно прочитано.",
     .mandatory = false},
    {.reader = &CConfCompiler::SectionReaders::references,
     .setSlot = &CInfoReader::SetReferenceRecord,
     .reading = "Чтение справочников",
     .failure = "Критическая ошибка чтения описания справочников",
     .success = "Описание справочников уcпешно прочитано",
     .blankBefore = true,
     .blankAfter = true},
    {.reader = &CConfCompiler::SectionReaders::frames,
     .setSlot = &CInfoReader::SetFrameRecord,
     .reading = "Чтение форм-меню",
     .failure = "Критическая ошибка чтения описания форм-меню",
     .success = "Описание форм-меню уcпешно прочитано",
     .emptyAllowed = true},
};

}  // namespace

CConfCompiler::SectionReaders CConfCompiler::DefaultReaders() {
    return SectionReaders{.menus = Use<CMenuReader>(),
                          .journals = Use<CJournalReader>(),
                          .documents = Use<CDocumentReader>(),
                          .recordViews = Use<CRecordViewReader>(),
                          .references = Use<CReferenceReader>(),
                          .frames = Use<CFrameReader>()};
}

CConfCompiler::CConfCompiler(std::ostream& out) : CConfCompiler(DefaultReaders(), out) {}

CConfCompiler::CConfCompiler(SectionReaders readers, std::ostream& out)
    : readers_(std::move(readers)), log_(out) {}

CConfCompiler::~CConfCompiler() = default;

void CConfCompiler::PrintBanner() {
    log_.Info("Норвил АРМ: компилятор конфигураций мобильного клиента.");
    log_.Info("Справка: quilconf --help и файл README.md в комплекте компилятора.");
    log_.Info(std::string("Версия компилятора конфигураций: ") + kBannerVersion);
}

void CConfCompiler::PrintHelp() {
    log_.Stream() << "Использование:\n"
                     "  quilconf [--locations] ФАЙЛ_КОНФИГУРАЦИИ [ФАЙЛ_БАЗЫ]\n"
                     "      Компилирует конфигурацию (корневой элемент quillora) в базу данных\n"
                     "      ФАЙЛ_БАЗЫ (по умолчанию "
                  << kDefaultOutput
                  << ").\n"
                     "      --locations (до или после имен файлов): перед каждой ошибкой и\n"
                     "      каждым предупреждением об элементе документа ставит ФАЙЛ:СТРОКА: ,\n"
                     "      чтобы редактор или журнал сборки мог перейти к этой строке.\n"
                     "  quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]\n"
                     "      Компилирует одно выражение действий и показывает его код, тексты и\n"
                     "      обратный разбор; --controls задает id элементов формы по порядку.\n"
                     "      Коды завершения: 0 - выражение верно, 1 - ошибка, 2 - неверный вызов.\n"
                     "  quilconf --functions [--json | --markdown]\n"
                     "      Все функции действий: id, аргументы (число, строка, элемент формы)\n"
                     "      и описание; --json - для программ, --markdown - таблица справочника.\n"
                     "  quilconf --lint [--json] ФАЙЛ_КОНФИГУРАЦИИ\n"
                     "      Проверяет документ, не записывая базу: сообщения компилятора и\n"
                     "      ошибки, которые компилятор пропускает (коды L1-L17), по одной в\n"
                     "      строке ФАЙЛ:СТРОКА:СТОЛБЕЦ: [WARNING L2] ...; --json - массив JSON.\n"
                     "      Коды завершения: 0 - нет ошибок, 1 - документ не загружен,\n"
                     "      255 - ошибка компиляции, 2 - неверный вызов.\n"
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
        log_.Error(0, "Синтаксис: quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]");
        return CExpressionCheck::kUsageError;
    }
    return CExpressionCheck::Run(*expression, controls, log_.Stream());
}

bool CConfCompiler::AddRecord(CPdb& pdb, const uint8_t* data, size_t size) {
    if (pdb.AddRecord(data, size)) {
        return true;
    }
    log_.Error(0, "Слишком много записей в базе данных.");
    return false;
}

bool CConfCompiler::AddInfoAndHash(CReadContext& context, CInfoReader& info, CPdb& pdb,
                                   int& status) {
    const int infoResult = info.Read();
    if (infoResult != CInfoReader::kOk) {
        status = infoResult == CInfoReader::kNoRoot ? kNotLoaded : kFailed;
        return false;
    }
    status = kFailed;
    size_t size = 0;
    const uint8_t* record = info.Build(size);
    if (record == nullptr || size == 0) {
        context.Error(0, "Критическая ошибка.");
        return false;
    }
    if (!AddRecord(pdb, record, size)) {
        return false;
    }
    const CHashWriter hash;
    record = hash.Build(size);
    return AddRecord(pdb, record, size);
}

bool CConfCompiler::ReadSections(CReadContext& context, CInfoReader& info, CPdb& pdb) {
    bool haveRecordViews = true;
    for (const Section& section : kSections) {
        if (section.blankBefore) {
            log_.BlankLine();
        }
        log_.Info(section.reading);
        size_t size = 0;
        const uint8_t* record = (readers_.*section.reader)(context, size);
        if (record == nullptr || (size == 0 && !section.emptyAllowed)) {
            log_.Info(section.failure);
            // A refused limit ends the run in any section, the optional one included.
            if (section.mandatory || context.LimitExceeded()) {
                return false;
            }
            haveRecordViews = false;
            continue;
        }
        const size_t index = pdb.RecordCount();
        if (!AddRecord(pdb, record, size)) {
            return false;
        }
        (info.*section.setSlot)(static_cast<uint16_t>(index));
        log_.Info(section.success);
        if (section.blankAfter) {
            log_.BlankLine();
        }
    }
    // String references name record 8. Without a record-view record the strings record
    // would move to 7, so an empty record keeps it in its place.
    return haveRecordViews || AddRecord(pdb, nullptr, 0);
}

bool CConfCompiler::AddStrings(CReadContext& context, CPdb& pdb) {
    size_t size = 0;
    const uint8_t* record = context.Pool().BuildRecord(size);
    if (record == nullptr || context.Pool().Overflowed()) {
        context.Error(0, "Критическая ошибка.");
        return false;
    }
    assert(pdb.RecordCount() == kStringsRecord);
    return AddRecord(pdb, record, size);
}

int CConfCompiler::Compile(const CXMLDOM& document, CPdb& pdb, const std::string* locationsFile) {
    CStringsReader pool(log_);
    CReadContext context(document, pool, log_);
    if (locationsFile != nullptr) {
        context.ShowLocations(*locationsFile);
    }
    CInfoReader info(context);
    int status = kFailed;
    if (!AddInfoAndHash(context, info, pdb, status) || !ReadSections(context, info, pdb) ||
        !AddStrings(context, pdb)) {
        return status;
    }
    // Record 0 again, now with the final record indices.
    size_t size = 0;
    const uint8_t* record = info.Build(size);
    pdb.ReplaceRecord(record, size, 0);
    pdb.SetName(kDatabaseName);
    return kWritten;
}

int CConfCompiler::CompileMemory(std::string_view xml, std::vector<uint8_t>& image,
                                 const std::string* locationsFile) {
    image.clear();
    CXMLDOM document;
    if (!document.LoadMemory(xml)) {
        ReportNotLoaded(document, locationsFile);
        return kNotLoaded;
    }
    CPdb pdb;
    const int status = Compile(document, pdb, locationsFile);
    if (status == kWritten) {
        image = pdb.Image();
    }
    return status;
}

void CConfCompiler::ReportNotLoaded(const CXMLDOM& document, const std::string* locationsFile) {
    log_.Info("Не удается загрузить указанный документ ");
    std::string where;
    if (locationsFile != nullptr) {
        where = ConsoleLine::FormatLocation(*locationsFile, document.LastErrorLine());
    }
    log_.Stream() << ConsoleLine::Joined(where);
    log_.Info(document.LastError());
}

int CConfCompiler::RunFunctionList(const std::vector<std::string>& args) {
    CFunctionList::Format format = CFunctionList::Format::Console;
    if (args.size() > 2 || !CFunctionList::ParseFormat(args.size() == 2 ? args[1] : "", format)) {
        log_.Error(0, "Синтаксис: quilconf --functions [--json | --markdown]");
        return CExpressionCheck::kUsageError;
    }
    CFunctionList::Write(format, log_.Stream());
    return kWritten;
}

int CConfCompiler::Run(const std::vector<std::string>& arguments) {
    CXMLDOM document;
    return Run(arguments, document);
}

int CConfCompiler::Run(const std::vector<std::string>& arguments, CXMLDOM& document) {
    if (!arguments.empty() && (arguments[0] == "--expr" || arguments[0] == "--controls")) {
        return RunExpressionCheck(arguments);
    }
    if (!arguments.empty() && arguments[0] == kFunctionsOption) {
        return RunFunctionList(arguments);
    }
    // --locations may come before, between or after the file names.
    std::vector<std::string> args;
    bool locations = false;
    for (const std::string& argument : arguments) {
        if (argument == kLocationsOption) {
            locations = true;
        } else {
            args.push_back(argument);
        }
    }
    if (!args.empty() && (args[0] == "--expr" || args[0] == "--controls")) {
        return RunExpressionCheck(arguments);  // refuses --locations, which has no document
    }
    if (!args.empty() && args[0] == "--version") {
        log_.Info(std::string("Версия компилятора конфигураций: ") + QuilVersion::kPackage);
        return kWritten;
    }
    if (!args.empty() && args[0] == "--help") {
        PrintBanner();
        PrintHelp();
        return kWritten;
    }

    CPdb pdb;
    PrintBanner();
    if (args.empty()) {
        log_.Info("Синтаксис: quilconf.exe имя_файла");
        return kWritten;
    }
    const std::string output = args.size() >= 2 ? args[1] : kDefaultOutput;
    // Replacing the document with its own database would lose the document: refused before
    // anything is read or written.
    if (CPlatform::SameFile(args[0], output)) {
        log_.Error(0, "Файл базы совпадает с исходным документом: " + output);
        return kFailed;
    }
    const std::string* locationsFile = locations ? &args[0] : nullptr;
    if (!document.Load(args[0])) {
        ReportNotLoaded(document, locationsFile);
        return kNotLoaded;
    }

    const int status = Compile(document, pdb, locationsFile);
    if (status != kWritten) {
        return status;
    }

    log_.BlankLine();
    if (!pdb.Write(output, log_.Stream())) {
        return kFailed;
    }
    log_.WideLine("Конфигурация сохранена в файл ", output);
    return kWritten;
}
