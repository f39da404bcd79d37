#include "CFunctionCatalogue.h"

#include <array>
#include <cstdint>

#include "AsciiCase.h"

namespace {

using Function = CFunctionCatalogue::Function;

// The catalogue: id, name as the configuration writes it, argument kinds in order, and the
// one-line description that quilconf --functions shows the integrators (in Russian, as all
// of quilconf's console texts).
// Ids and layouts must never change: the client reads action code by them.
constexpr std::array kFunctions = std::to_array<Function>({
    {1, "OK", "", "Подтвердить форму: сохранить введенное и закрыть ее"},
    {2, "Cancel", "", "Закрыть форму без сохранения"},
    {3, "Print", "", "Напечатать текущий документ"},
    {4, "Report", "s", "Построить отчет по описанию в строке"},
    {5, "Close", "", "Закрыть текущую форму"},
    {6, "ScrollField", "cn", "Прокрутить поле ввода (элемент) на заданное число строк"},
    {7, "SetScrollBtnEnabling", "cn",
     "Сделать кнопку прокрутки (элемент) доступной или недоступной по числу"},
    {8, "SetTableSql", "ss", "Задать таблице запрос SQL (таблица, текст запроса)"},
    {10, "setlayer", "n", "Показать слой формы с заданным номером"},
    {12, "ChangeCatPrice", "", "Сменить категорию цен"},
    {13, "SetBeginOfDate", "s", "Задать начало периода по значению поля"},
    {14, "SetEndOfDate", "s", "Задать конец периода по значению поля"},
    {16, "ChangeStatus", "", "Сменить статус текущего документа"},
    {17, "SetupColumns", "", "Настроить колонки таблицы"},
    {18, "RefSingleSelect", "sss", "Выбрать одну запись справочника в поле (три строки)"},
    {19, "Report1", "cs", "Построить отчет по описанию в строке в элемент формы"},
    {20, "SetCurrentDateTime", "c", "Записать текущие дату и время в элемент"},
    {21, "SetRefGroupsSelectable", "s", "Разрешить выбор групп справочника"},
    {22, "SetUnsetFilter", "", "Включить или выключить фильтр списка"},
    {23, "SetEntryAsString", "ss", "Записать строку в поле данных (поле, значение)"},
    {24, "SetPushButtonSelection", "cs", "Выбрать кнопку-переключатель (элемент) по условию"},
    {25, "RefMultiSelect", "ssss", "Выбрать несколько записей справочника (четыре строки)"},
    {26, "SetRefRepeatedFieldE", "sss", "Заполнить повторяющееся поле из справочника (три строки)"},
    {27, "SetEntryRecordByRefCode", "sss", "Заполнить поле записью справочника по ее коду"},
    {28, "SetEntryAsNull", "s", "Очистить поле данных (сделать пустым)"},
    {29, "UpdateEntry", "s", "Обновить показ поля данных"},
    {30, "JrnSingleSelect", "ssss", "Выбрать один документ из журнала (четыре строки)"},
    {31, "RefSingleSelect4", "ssss", "Выбрать одну запись справочника в поле (четыре строки)"},
    {37, "discount", "", "Применить скидку"},
    {39, "deleteproduct", "", "Удалить товар из документа"},
    {41, "SetRepeatedField", "ss", "Заполнить повторяющееся поле (две строки)"},
    {42, "Find", "ss", "Найти запись (где, что)"},
    {45, "AlertAndBreakIf3", "sss",
     "Показать предупреждение и прервать действия, если условие верно"},
    {46, "DeleteSelectedRecord", "s", "Удалить выбранную запись таблицы"},
    {49, "IncreaseChoice", "n", "Изменить выбранное количество на заданное число"},
    {50, "SwitchHierarhy", "", "Переключить показ иерархии (групп) справочника"},
    {51, "TableIncField", "snn", "Увеличить поле таблицы на шаг в заданных пределах"},
    {52, "NavigateTable", "", "Перейти по таблице"},
    {53, "CalcFieldIf", "sss", "Вычислить поле, если условие верно (условие, поле, выражение)"},
    {54, "CalcField", "ss", "Вычислить поле по выражению (поле, выражение)"},
    {55, "SetFieldProgressive", "sn", "Заполнять поле по мере ввода (поле, число)"},
    {56, "BreakIfFalse", "s", "Прервать действия, если условие ложно"},
    {57, "TblRedraw", "", "Перерисовать таблицу целиком"},
    {58, "TblRedrawCurrentRecord", "", "Перерисовать текущую строку таблицы"},
    {59, "CalcFieldIf2", "ssss", "Вычислить поле по одному из двух выражений по условию"},
    {60, "CalcControl", "cs", "Вычислить значение элемента по выражению"},
    {61, "BeepIf", "s", "Подать звуковой сигнал, если условие верно"},
    {62, "ReleaseSqlStatements", "", "Освободить подготовленные запросы SQL"},
    {63, "CalcEntryFromTable", "s", "Вычислить поле по данным таблицы"},
    {64, "OpenReference", "ss", "Открыть справочник (имя, параметр)"},
    {65, "OpenJournal", "ss", "Открыть журнал документов (имя, параметр)"},
    {66, "LaunchApp", "s", "Запустить приложение устройства"},
    {67, "ReindexingReferences", "", "Переиндексировать справочники"},
    {68, "ReindexingDocuments", "", "Переиндексировать документы"},
    {69, "LaunchAppAndWait", "ss", "Запустить приложение и ждать его завершения"},
    {70, "AboutFrame", "", "Показать окно «О программе»"},
    {71, "EraseTablesAttrs", "", "Сбросить признаки таблиц"},
    {72, "SelectBasisDocument", "ss", "Выбрать документ-основание"},
    {73, "UpdateBasisDocument", "sssn", "Обновить документ-основание"},
    {74, "Exit", "n", "Выйти из приложения с кодом"},
    {75, "OpenFrame", "ss", "Открыть форму-меню (frame) по имени"},
    {76, "ShowDocument", "ss", "Показать документ"},
    {77, "PleaseWait", "s", "Показать сообщение «Подождите» с текстом"},
    {78, "CheckIsTableNotEmpty", "s", "Проверить, что таблица не пуста; иначе прервать действия"},
    {79, "CheckIsEntryNotNull", "s", "Проверить, что поле заполнено; иначе прервать действия"},
    {80, "CheckRefUpdateTime", "ss", "Проверить время обновления справочника"},
    {96, "SetColumnsNames", "s", "Задать колонки таблицы (список имен)"},
    {97, "SetFilterEnum", "cs", "Задать элементу фильтр по списку значений"},
    {98, "SetFilterSQL", "cs", "Задать элементу фильтр условием SQL"},
    {99, "InitEmpty", "", "Начать с пустых значений"},
    {100, "SetTextFromVl", "css", "Записать в элемент текст из списка значений"},
    {101, "OnTableSelect", "", "Обработать выбор строки таблицы"},
    {102, "UpdateKoefButton", "c", "Обновить кнопку коэффициента (элемент)"},
    {103, "SwitchKoef", "", "Переключить коэффициент"},
    {104, "PopupKeyboard", "", "Показать экранную клавиатуру"},
    {105, "SelectedRecordInfo", "s", "Показать сведения о выбранной записи"},
    {106, "FormDocTeByDocs", "ss", "Сформировать табличную часть документа по документам"},
    {107, "FormDocBy1_5", "ssn", "Сформировать документ по образцу (две строки, число)"},
    {108, "CheckSums", "", "Проверить суммы документа"},
    {110, "SetBezNDS", "c", "Переключить расчет без НДС (элемент)"},
    {111, "SetTypeByProducts", "", "Задать тип документа по товарам"},
    {112, "OpenDocByCustomer", "ssn", "Открыть документ клиента"},
    {113, "NewDocByCustomer", "ssn", "Создать документ для клиента"},
    {114, "CopyEntryToObject", "ss", "Скопировать поле в другой объект"},
    {118, "ChangeProductCatPrice", "n", "Сменить категорию цены товара"},
    {119, "OpenRecordView", "ss", "Открыть просмотр записи (recordview)"},
    {120, "SaveRecord", "s", "Сохранить запись"},
    {121, "BindField", "s", "Связать поле с данными"},
    {122, "AppendFieldString", "cs", "Дописать строку в поле ввода (элемент)"},
    {123, "BackspaceFieldString", "c", "Стереть последний символ поля ввода (элемент)"},
    {125, "SetFieldString", "cs", "Записать строку в поле ввода (элемент)"},
    {126, "GenerateRecordControls", "nnnns",
     "Создать элементы формы для полей записи (x, y, ширина, высота, строка)"},
    {127, "ClearFieldIf", "cs", "Очистить поле ввода (элемент), если условие верно"},
    {128, "CheckProductsCount", "", "Проверить количество товаров"},
    {129, "ScrollLayer", "n", "Прокрутить слои формы на заданное число"},
    {130, "SetSclLayerBtnEnabling", "cn",
     "Сделать кнопку прокрутки слоев (элемент) доступной или недоступной"},
    {131, "ClearFieldRealPart", "c", "Очистить дробную часть числа в поле ввода (элемент)"},
    {132, "SetCtlSelectIf", "cs", "Выбрать элемент, если условие верно"},
    {133, "BindField2", "ss", "Связать поле с данными (две строки)"},
    {134, "SetRVEntryAsRecord", "sss", "Записать в поле просмотра записи запись (три строки)"},
    {135, "CheckTypeByCustomer", "", "Проверить тип документа по клиенту"},
    {136, "OpenRecordViewNew", "ss", "Открыть просмотр новой записи"},
    {160, "ReturnProductsRest", "", "Вернуть остатки товаров"},
    {161, "SetProductsRestKoef", "n", "Задать коэффициент остатков товаров", true},
    {162, "UpdateCustomerSum", "n", "Обновить сумму клиента"},
    {163, "ReturnCustomerSum", "n", "Вернуть сумму клиента"},
    {164, "UpdateProductsRest", "", "Обновить остатки товаров"},
    {165, "UpdateRefFieldByCode", "ssssn", "Обновить поле справочника по коду записи"},
    {177, "NewDocument", "", "Создать документ"},
    {178, "OpenDocument", "", "Открыть выбранный документ"},
    {179, "DeleteDocument", "", "Удалить выбранный документ"},
    {180, "CopyDocument", "", "Скопировать выбранный документ"},
    {181, "CausedByDocument", "", "Создать документ на основании выбранного"},
    {182, "AddFilter", "ss", "Добавить фильтр (поле, условие)"},
    {183, "Reselect", "", "Заново выбрать записи списка"},
    {184, "DeleteAllDocuments", "", "Удалить все документы"},
    {185, "NewDocument1", "n", "Создать документ заданного вида (число)"},
    {192, "SetEntryWithThisId", "s", "Записать в поле id текущей записи"},
    {193, "AppendFieldStringE", "ss", "Дописать строку в поле данных"},
    {194, "BackspaceFieldStringE", "s", "Стереть последний символ поля данных"},
    {195, "SetFieldStringE", "ss", "Записать строку в поле данных"},
    {196, "SetFocusE", "s", "Перевести фокус на элемент поля данных"},
    {197, "SetCtlFromRefField", "csss", "Записать в элемент поле записи справочника"},
    {198, "InputEntryDate", "s", "Ввести дату в поле данных"},
    {257, "VelmoraTempTodo1", "", "Зарезервирована (без аргументов)"},
    {258, "VelmoraTempTodo2", "", "Зарезервирована (без аргументов)"},
});

// The names the tokenizer knows (every function's and the reserved name), grouped by their
// first letter with ASCII case folded, so that a position is compared with a handful of names
// and not with the whole catalogue.
constexpr size_t kBuckets = 128;

constexpr size_t Bucket(char c) {
    return static_cast<unsigned char>(AsciiCase::Lower(c)) % kBuckets;
}

constexpr size_t kLargestBucket = [] {
    std::array<size_t, kBuckets> sizes{};
    for (const Function& function : kFunctions) {
        ++sizes[Bucket(function.name[0])];
    }
    ++sizes[Bucket(CFunctionCatalogue::kReservedName[0])];
    size_t largest = 0;
    for (size_t size : sizes) {
        largest = size > largest ? size : largest;
    }
    return largest;
}();

// The first four bytes of a text, ASCII letters folded, packed into a number (zero bytes past
// its end): names that share a first letter mostly differ in the next three, and one
// comparison of numbers sorts them out.
constexpr uint32_t Head(std::string_view text) {
    uint32_t head = 0;
    for (size_t i = 0; i < 4 && i < text.size(); ++i) {
        head |= static_cast<uint32_t>(static_cast<unsigned char>(AsciiCase::Lower(text[i])))
                << (8 * i);
    }
    return head;
}

// The bits of Head that a name of `size` bytes fills.
constexpr uint32_t HeadMask(size_t size) {
    return size >= 4 ? 0xFFFFFFFFu : (1u << (8 * size)) - 1u;
}

// Each name with its head, the mask of its head and its function (none for the reserved
// name), in catalogue order.
struct NameBucket {
    std::array<std::string_view, kLargestBucket> names{};
    std::array<uint32_t, kLargestBucket> heads{};
    std::array<uint32_t, kLargestBucket> masks{};
    std::array<const Function*, kLargestBucket> functions{};
    size_t count = 0;
};

constexpr std::array<NameBucket, kBuckets> kNamesByFirstLetter = [] {
    std::array<NameBucket, kBuckets> buckets{};
    const auto add = [&](std::string_view name, const Function* function) {
        NameBucket& bucket = buckets[Bucket(name[0])];
        bucket.names[bucket.count] = name;
        bucket.heads[bucket.count] = Head(name);
        bucket.masks[bucket.count] = HeadMask(name.size());
        bucket.functions[bucket.count] = function;
        ++bucket.count;
    };
    for (const Function& function : kFunctions) {
        add(function.name, &function);
    }
    add(CFunctionCatalogue::kReservedName, nullptr);
    return buckets;
}();

}  // namespace

std::span<const Function> CFunctionCatalogue::Functions() {
    return kFunctions;
}

const Function* CFunctionCatalogue::FindByName(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    // The first function of the catalogue with that name: buckets keep the catalogue order.
    const NameBucket& bucket = kNamesByFirstLetter[Bucket(name[0])];
    for (size_t i = 0; i < bucket.count; ++i) {
        if (bucket.functions[i] != nullptr && AsciiCase::Equal(bucket.names[i], name)) {
            return bucket.functions[i];
        }
    }
    return nullptr;
}

const Function* CFunctionCatalogue::FindById(uint16_t id) {
    for (const Function& function : kFunctions) {
        if (function.id == id) {
            return &function;
        }
    }
    return nullptr;
}

size_t CFunctionCatalogue::ArgumentCount(const Function& function) {
    return function.arguments.size();
}

CFunctionCatalogue::ArgumentKind CFunctionCatalogue::Kind(const Function& function, size_t n) {
    switch (function.arguments[n]) {
        case 's':
            return ArgumentKind::String;
        case 'c':
            return ArgumentKind::Control;
        default:
            return ArgumentKind::Number;
    }
}

size_t CFunctionCatalogue::Width(ArgumentKind kind) {
    return kind == ArgumentKind::String ? 4 : 2;
}

uint16_t CFunctionCatalogue::BlockSize(const Function& function) {
    size_t size = 0;
    for (size_t n = 0; n < ArgumentCount(function); ++n) {
        size += Width(Kind(function, n));
    }
    return static_cast<uint16_t>(size);
}

int CFunctionCatalogue::Offset(const Function& function, size_t n) {
    if (n == 0) {
        return 0;
    }
    if (n == ArgumentCount(function) && function.offsetPastEnd) {
        return BlockSize(function);
    }
    if (n >= ArgumentCount(function) || n >= kMaxArguments) {
        return -1;
    }
    size_t offset = 0;
    for (size_t k = 0; k < n; ++k) {
        offset += Width(Kind(function, k));
    }
    return static_cast<int>(offset);
}

bool CFunctionCatalogue::IsControlArgumentFunction(std::string_view name) {
    for (const Function& function : kFunctions) {
        if (function.name == name) {
            return !function.arguments.empty() && function.arguments[0] == 'c';
        }
    }
    return false;
}

size_t CFunctionCatalogue::LongestNameAt(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    size_t longest = 0;
    const NameBucket& bucket = kNamesByFirstLetter[Bucket(text[0])];
    const uint32_t head = Head(text);
    for (size_t i = 0; i < bucket.count; ++i) {
        const std::string_view name = bucket.names[i];
        if (name.size() > longest && (head & bucket.masks[i]) == bucket.heads[i] &&
            AsciiCase::StartsWith(text, name)) {
            longest = name.size();
        }
    }
    return longest;
}
