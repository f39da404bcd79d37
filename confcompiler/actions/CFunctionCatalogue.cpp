#include "CFunctionCatalogue.h"

#include <array>
#include <cstdint>

#include "AsciiCase.h"

namespace {

using Function = CFunctionCatalogue::Function;

// The catalogue: id, name as the configuration writes it, argument kinds in order.
// Ids and layouts must never change: the client reads action code by them.
constexpr std::array kFunctions = std::to_array<Function>({
    {1, "OK", ""},
    {2, "Cancel", ""},
    {3, "Print", ""},
    {4, "Report", "s"},
    {5, "Close", ""},
    {6, "ScrollField", "cn"},
    {7, "SetScrollBtnEnabling", "cn"},
    {8, "SetTableSql", "ss"},
    {10, "setlayer", "n"},
    {12, "ChangeCatPrice", ""},
    {13, "SetBeginOfDate", "s"},
    {14, "SetEndOfDate", "s"},
    {16, "ChangeStatus", ""},
    {17, "SetupColumns", ""},
    {18, "RefSingleSelect", "sss"},
    {19, "Report1", "cs"},
    {20, "SetCurrentDateTime", "c"},
    {21, "SetRefGroupsSelectable", "s"},
    {22, "SetUnsetFilter", ""},
    {23, "SetEntryAsString", "ss"},
    {24, "SetPushButtonSelection", "cs"},
    {25, "RefMultiSelect", "ssss"},
    {26, "SetRefRepeatedFieldE", "sss"},
    {27, "SetEntryRecordByRefCode", "sss"},
    {28, "SetEntryAsNull", "s"},
    {29, "UpdateEntry", "s"},
    {30, "JrnSingleSelect", "ssss"},
    {31, "RefSingleSelect4", "ssss"},
    {37, "discount", ""},
    {39, "deleteproduct", ""},
    {41, "SetRepeatedField", "ss"},
    {42, "Find", "ss"},
    {45, "AlertAndBreakIf3", "sss"},
    {46, "DeleteSelectedRecord", "s"},
    {49, "IncreaseChoice", "n"},
    {50, "SwitchHierarhy", ""},
    {51, "TableIncField", "snn"},
    {52, "NavigateTable", ""},
    {53, "CalcFieldIf", "sss"},
    {54, "CalcField", "ss"},
    {55, "SetFieldProgressive", "sn"},
    {56, "BreakIfFalse", "s"},
    {57, "TblRedraw", ""},
    {58, "TblRedrawCurrentRecord", ""},
    {59, "CalcFieldIf2", "ssss"},
    {60, "CalcControl", "cs"},
    {61, "BeepIf", "s"},
    {62, "ReleaseSqlStatements", ""},
    {63, "CalcEntryFromTable", "s"},
    {64, "OpenReference", "ss"},
    {65, "OpenJournal", "ss"},
    {66, "LaunchApp", "s"},
    {67, "ReindexingReferences", ""},
    {68, "ReindexingDocuments", ""},
    {69, "LaunchAppAndWait", "ss"},
    {70, "AboutFrame", ""},
    {71, "EraseTablesAttrs", ""},
    {72, "SelectBasisDocument", "ss"},
    {73, "UpdateBasisDocument", "sssn"},
    {74, "Exit", "n"},
    {75, "OpenFrame", "ss"},
    {76, "ShowDocument", "ss"},
    {77, "PleaseWait", "s"},
    {78, "CheckIsTableNotEmpty", "s"},
    {79, "CheckIsEntryNotNull", "s"},
    {80, "CheckRefUpdateTime", "ss"},
    {96, "SetColumnsNames", "s"},
    {97, "SetFilterEnum", "cs"},
    {98, "SetFilterSQL", "cs"},
    {99, "InitEmpty", ""},
    {100, "SetTextFromVl", "css"},
    {101, "OnTableSelect", ""},
    {102, "UpdateKoefButton", "c"},
    {103, "SwitchKoef", ""},
    {104, "PopupKeyboard", ""},
    {105, "SelectedRecordInfo", "s"},
    {106, "FormDocTeByDocs", "ss"},
    {107, "FormDocBy1_5", "ssn"},
    {108, "CheckSums", ""},
    {110, "SetBezNDS", "c"},
    {111, "SetTypeByProducts", ""},
    {112, "OpenDocByCustomer", "ssn"},
    {113, "NewDocByCustomer", "ssn"},
    {114, "CopyEntryToObject", "ss"},
    {118, "ChangeProductCatPrice", "n"},
    {119, "OpenRecordView", "ss"},
    {120, "SaveRecord", "s"},
    {121, "BindField", "s"},
    {122, "AppendFieldString", "cs"},
    {123, "BackspaceFieldString", "c"},
    {125, "SetFieldString", "cs"},
    {126, "GenerateRecordControls", "nnnns"},
    {127, "ClearFieldIf", "cs"},
    {128, "CheckProductsCount", ""},
    {129, "ScrollLayer", "n"},
    {130, "SetSclLayerBtnEnabling", "cn"},
    {131, "ClearFieldRealPart", "c"},
    {132, "SetCtlSelectIf", "cs"},
    {133, "BindField2", "ss"},
    {134, "SetRVEntryAsRecord", "sss"},
    {135, "CheckTypeByCustomer", ""},
    {136, "OpenRecordViewNew", "ss"},
    {160, "ReturnProductsRest", ""},
    {161, "SetProductsRestKoef", "n", true},
    {162, "UpdateCustomerSum", "n"},
    {163, "ReturnCustomerSum", "n"},
    {164, "UpdateProductsRest", ""},
    {165, "UpdateRefFieldByCode", "ssssn"},
    {177, "NewDocument", ""},
    {178, "OpenDocument", ""},
    {179, "DeleteDocument", ""},
    {180, "CopyDocument", ""},
    {181, "CausedByDocument", ""},
    {182, "AddFilter", "ss"},
    {183, "Reselect", ""},
    {184, "DeleteAllDocuments", ""},
    {185, "NewDocument1", "n"},
    {192, "SetEntryWithThisId", "s"},
    {193, "AppendFieldStringE", "ss"},
    {194, "BackspaceFieldStringE", "s"},
    {195, "SetFieldStringE", "ss"},
    {196, "SetFocusE", "s"},
    {197, "SetCtlFromRefField", "csss"},
    {198, "InputEntryDate", "s"},
    {257, "VelmoraTempTodo1", ""},
    {258, "VelmoraTempTodo2", ""},
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
