// The catalogue of action functions as the client knows it, typed out independently of the
// compiler's own table: id, name, argument kinds ("none" or a comma list of num, str, ctl)
// and block size. Tests check the compiler against it entry by entry.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ExpectedFunction {
    uint16_t id;
    std::string_view name;
    std::string_view arguments;
    uint16_t block;
};

inline constexpr std::array kExpectedFunctions = std::to_array<ExpectedFunction>({
    {1, "OK", "none", 0},
    {2, "Cancel", "none", 0},
    {3, "Print", "none", 0},
    {4, "Report", "str", 4},
    {5, "Close", "none", 0},
    {6, "ScrollField", "ctl, num", 4},
    {7, "SetScrollBtnEnabling", "ctl, num", 4},
    {8, "SetTableSql", "str, str", 8},
    {10, "setlayer", "num", 2},
    {12, "ChangeCatPrice", "none", 0},
    {13, "SetBeginOfDate", "str", 4},
    {14, "SetEndOfDate", "str", 4},
    {16, "ChangeStatus", "none", 0},
    {17, "SetupColumns", "none", 0},
    {18, "RefSingleSelect", "str, str, str", 12},
    {19, "Report1", "ctl, str", 6},
    {20, "SetCurrentDateTime", "ctl", 2},
    {21, "SetRefGroupsSelectable", "str", 4},
    {22, "SetUnsetFilter", "none", 0},
    {23, "SetEntryAsString", "str, str", 8},
    {24, "SetPushButtonSelection", "ctl, str", 6},
    {25, "RefMultiSelect", "str, str, str, str", 16},
    {26, "SetRefRepeatedFieldE", "str, str, str", 12},
    {27, "SetEntryRecordByRefCode", "str, str, str", 12},
    {28, "SetEntryAsNull", "str", 4},
    {29, "UpdateEntry", "str", 4},
    {30, "JrnSingleSelect", "str, str, str, str", 16},
    {31, "RefSingleSelect4", "str, str, str, str", 16},
    {37, "discount", "none", 0},
    {39, "deleteproduct", "none", 0},
    {41, "SetRepeatedField", "str, str", 8},
    {42, "Find", "str, str", 8},
    {45, "AlertAndBreakIf3", "str, str, str", 12},
    {46, "DeleteSelectedRecord", "str", 4},
    {49, "IncreaseChoice", "num", 2},
    {50, "SwitchHierarhy", "none", 0},
    {51, "TableIncField", "str, num, num", 8},
    {52, "NavigateTable", "none", 0},
    {53, "CalcFieldIf", "str, str, str", 12},
    {54, "CalcField", "str, str", 8},
    {55, "SetFieldProgressive", "str, num", 6},
    {56, "BreakIfFalse", "str", 4},
    {57, "TblRedraw", "none", 0},
    {58, "TblRedrawCurrentRecord", "none", 0},
    {59, "CalcFieldIf2", "str, str, str, str", 16},
    {60, "CalcControl", "ctl, str", 6},
    {61, "BeepIf", "str", 4},
    {62, "ReleaseSqlStatements", "none", 0},
    {63, "CalcEntryFromTable", "str", 4},
    {64, "OpenReference", "str, str", 8},
    {65, "OpenJournal", "str, str", 8},
    {66, "LaunchApp", "str", 4},
    {67, "ReindexingReferences", "none", 0},
    {68, "ReindexingDocuments", "none", 0},
    {69, "LaunchAppAndWait", "str, str", 8},
    {70, "AboutFrame", "none", 0},
    {71, "EraseTablesAttrs", "none", 0},
    {72, "SelectBasisDocument", "str, str", 8},
    {73, "UpdateBasisDocument", "str, str, str, num", 14},
    {74, "Exit", "num", 2},
    {75, "OpenFrame", "str, str", 8},
    {76, "ShowDocument", "str, str", 8},
    {77, "PleaseWait", "str", 4},
    {78, "CheckIsTableNotEmpty", "str", 4},
    {79, "CheckIsEntryNotNull", "str", 4},
    {80, "CheckRefUpdateTime", "str, str", 8},
    {96, "SetColumnsNames", "str", 4},
    {97, "SetFilterEnum", "ctl, str", 6},
    {98, "SetFilterSQL", "ctl, str", 6},
    {99, "InitEmpty", "none", 0},
    {100, "SetTextFromVl", "ctl, str, str", 10},
    {101, "OnTableSelect", "none", 0},
    {102, "UpdateKoefButton", "ctl", 2},
    {103, "SwitchKoef", "none", 0},
    {104, "PopupKeyboard", "none", 0},
    {105, "SelectedRecordInfo", "str", 4},
    {106, "FormDocTeByDocs", "str, str", 8},
    {107, "FormDocBy1_5", "str, str, num", 10},
    {108, "CheckSums", "none", 0},
    {110, "SetBezNDS", "ctl", 2},
    {111, "SetTypeByProducts", "none", 0},
    {112, "OpenDocByCustomer", "str, str, num", 10},
    {113, "NewDocByCustomer", "str, str, num", 10},
    {114, "CopyEntryToObject", "str, str", 8},
    {118, "ChangeProductCatPrice", "num", 2},
    {119, "OpenRecordView", "str, str", 8},
    {120, "SaveRecord", "str", 4},
    {121, "BindField", "str", 4},
    {122, "AppendFieldString", "ctl, str", 6},
    {123, "BackspaceFieldString", "ctl", 2},
    {125, "SetFieldString", "ctl, str", 6},
    {126, "GenerateRecordControls", "num, num, num, num, str", 12},
    {127, "ClearFieldIf", "ctl, str", 6},
    {128, "CheckProductsCount", "none", 0},
    {129, "ScrollLayer", "num", 2},
    {130, "SetSclLayerBtnEnabling", "ctl, num", 4},
    {131, "ClearFieldRealPart", "ctl", 2},
    {132, "SetCtlSelectIf", "ctl, str", 6},
    {133, "BindField2", "str, str", 8},
    {134, "SetRVEntryAsRecord", "str, str, str", 12},
    {135, "CheckTypeByCustomer", "none", 0},
    {136, "OpenRecordViewNew", "str, str", 8},
    {160, "ReturnProductsRest", "none", 0},
    {161, "SetProductsRestKoef", "num", 2},
    {162, "UpdateCustomerSum", "num", 2},
    {163, "ReturnCustomerSum", "num", 2},
    {164, "UpdateProductsRest", "none", 0},
    {165, "UpdateRefFieldByCode", "str, str, str, str, num", 18},
    {177, "NewDocument", "none", 0},
    {178, "OpenDocument", "none", 0},
    {179, "DeleteDocument", "none", 0},
    {180, "CopyDocument", "none", 0},
    {181, "CausedByDocument", "none", 0},
    {182, "AddFilter", "str, str", 8},
    {183, "Reselect", "none", 0},
    {184, "DeleteAllDocuments", "none", 0},
    {185, "NewDocument1", "num", 2},
    {192, "SetEntryWithThisId", "str", 4},
    {193, "AppendFieldStringE", "str, str", 8},
    {194, "BackspaceFieldStringE", "str", 4},
    {195, "SetFieldStringE", "str, str", 8},
    {196, "SetFocusE", "str", 4},
    {197, "SetCtlFromRefField", "ctl, str, str, str", 14},
    {198, "InputEntryDate", "str", 4},
    {257, "VelmoraTempTodo1", "none", 0},
    {258, "VelmoraTempTodo2", "none", 0},
});

// The functions whose first argument is a control, as the client lists them.
inline constexpr std::array<std::string_view, 19> kExpectedControlFunctions{
    "Report1",
    "ScrollField",
    "SetScrollBtnEnabling",
    "SetCurrentDateTime",
    "SetPushButtonSelection",
    "CalcControl",
    "SetFilterEnum",
    "SetFilterSQL",
    "SetTextFromVl",
    "UpdateKoefButton",
    "SetBezNDS",
    "AppendFieldString",
    "BackspaceFieldString",
    "SetFieldString",
    "ClearFieldIf",
    "SetSclLayerBtnEnabling",
    "ClearFieldRealPart",
    "SetCtlSelectIf",
    "SetCtlFromRefField"};

// The argument kinds of an entry, split.
inline std::vector<std::string> ArgumentKinds(const ExpectedFunction& function) {
    std::vector<std::string> kinds;
    if (function.arguments == "none") {
        return kinds;
    }
    std::string_view rest = function.arguments;
    while (true) {
        const size_t comma = rest.find(',');
        std::string_view kind = rest.substr(0, comma);
        while (!kind.empty() && kind.front() == ' ') {
            kind.remove_prefix(1);
        }
        kinds.emplace_back(kind);
        if (comma == std::string_view::npos) {
            return kinds;
        }
        rest.remove_prefix(comma + 1);
    }
}

inline uint16_t KindWidth(const std::string& kind) {
    return kind == "str" ? 4 : 2;
}
