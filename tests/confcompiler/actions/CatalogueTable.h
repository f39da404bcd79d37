// The catalogue of action functions as the client knows it, typed out independently of the
// compiler's own table: id, name and argument kinds ("none" or a comma list of num, str, ctl;
// the argument block is their widths added). Tests check the compiler against it entry by
// entry.
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
};

inline constexpr std::array kExpectedFunctions = std::to_array<ExpectedFunction>({
    {1, "OK", "none"},
    {2, "Cancel", "none"},
    {3, "Print", "none"},
    {4, "Report", "str"},
    {5, "Close", "none"},
    {6, "ScrollField", "ctl, num"},
    {7, "SetScrollBtnEnabling", "ctl, num"},
    {8, "SetTableSql", "str, str"},
    {10, "setlayer", "num"},
    {12, "ChangeCatPrice", "none"},
    {13, "SetBeginOfDate", "str"},
    {14, "SetEndOfDate", "str"},
    {16, "ChangeStatus", "none"},
    {17, "SetupColumns", "none"},
    {18, "RefSingleSelect", "str, str, str"},
    {19, "Report1", "ctl, str"},
    {20, "SetCurrentDateTime", "ctl"},
    {21, "SetRefGroupsSelectable", "str"},
    {22, "SetUnsetFilter", "none"},
    {23, "SetEntryAsString", "str, str"},
    {24, "SetPushButtonSelection", "ctl, str"},
    {25, "RefMultiSelect", "str, str, str, str"},
    {26, "SetRefRepeatedFieldE", "str, str, str"},
    {27, "SetEntryRecordByRefCode", "str, str, str"},
    {28, "SetEntryAsNull", "str"},
    {29, "UpdateEntry", "str"},
    {30, "JrnSingleSelect", "str, str, str, str"},
    {31, "RefSingleSelect4", "str, str, str, str"},
    {37, "discount", "none"},
    {39, "deleteproduct", "none"},
    {41, "SetRepeatedField", "str, str"},
    {42, "Find", "str, str"},
    {45, "AlertAndBreakIf3", "str, str, str"},
    {46, "DeleteSelectedRecord", "str"},
    {49, "IncreaseChoice", "num"},
    {50, "SwitchHierarhy", "none"},
    {51, "TableIncField", "str, num, num"},
    {52, "NavigateTable", "none"},
    {53, "CalcFieldIf", "str, str, str"},
    {54, "CalcField", "str, str"},
    {55, "SetFieldProgressive", "str, num"},
    {56, "BreakIfFalse", "str"},
    {57, "TblRedraw", "none"},
    {58, "TblRedrawCurrentRecord", "none"},
    {59, "CalcFieldIf2", "str, str, str, str"},
    {60, "CalcControl", "ctl, str"},
    {61, "BeepIf", "str"},
    {62, "ReleaseSqlStatements", "none"},
    {63, "CalcEntryFromTable", "str"},
    {64, "OpenReference", "str, str"},
    {65, "OpenJournal", "str, str"},
    {66, "LaunchApp", "str"},
    {67, "ReindexingReferences", "none"},
    {68, "ReindexingDocuments", "none"},
    {69, "LaunchAppAndWait", "str, str"},
    {70, "AboutFrame", "none"},
    {71, "EraseTablesAttrs", "none"},
    {72, "SelectBasisDocument", "str, str"},
    {73, "UpdateBasisDocument", "str, str, str, num"},
    {74, "Exit", "num"},
    {75, "OpenFrame", "str, str"},
    {76, "ShowDocument", "str, str"},
    {77, "PleaseWait", "str"},
    {78, "CheckIsTableNotEmpty", "str"},
    {79, "CheckIsEntryNotNull", "str"},
    {80, "CheckRefUpdateTime", "str, str"},
    {96, "SetColumnsNames", "str"},
    {97, "SetFilterEnum", "ctl, str"},
    {98, "SetFilterSQL", "ctl, str"},
    {99, "InitEmpty", "none"},
    {100, "SetTextFromVl", "ctl, str, str"},
    {101, "OnTableSelect", "none"},
    {102, "UpdateKoefButton", "ctl"},
    {103, "SwitchKoef", "none"},
    {104, "PopupKeyboard", "none"},
    {105, "SelectedRecordInfo", "str"},
    {106, "FormDocTeByDocs", "str, str"},
    {107, "FormDocBy1_5", "str, str, num"},
    {108, "CheckSums", "none"},
    {110, "SetBezNDS", "ctl"},
    {111, "SetTypeByProducts", "none"},
    {112, "OpenDocByCustomer", "str, str, num"},
    {113, "NewDocByCustomer", "str, str, num"},
    {114, "CopyEntryToObject", "str, str"},
    {118, "ChangeProductCatPrice", "num"},
    {119, "OpenRecordView", "str, str"},
    {120, "SaveRecord", "str"},
    {121, "BindField", "str"},
    {122, "AppendFieldString", "ctl, str"},
    {123, "BackspaceFieldString", "ctl"},
    {125, "SetFieldString", "ctl, str"},
    {126, "GenerateRecordControls", "num, num, num, num, str"},
    {127, "ClearFieldIf", "ctl, str"},
    {128, "CheckProductsCount", "none"},
    {129, "ScrollLayer", "num"},
    {130, "SetSclLayerBtnEnabling", "ctl, num"},
    {131, "ClearFieldRealPart", "ctl"},
    {132, "SetCtlSelectIf", "ctl, str"},
    {133, "BindField2", "str, str"},
    {134, "SetRVEntryAsRecord", "str, str, str"},
    {135, "CheckTypeByCustomer", "none"},
    {136, "OpenRecordViewNew", "str, str"},
    {160, "ReturnProductsRest", "none"},
    {161, "SetProductsRestKoef", "num"},
    {162, "UpdateCustomerSum", "num"},
    {163, "ReturnCustomerSum", "num"},
    {164, "UpdateProductsRest", "none"},
    {165, "UpdateRefFieldByCode", "str, str, str, str, num"},
    {177, "NewDocument", "none"},
    {178, "OpenDocument", "none"},
    {179, "DeleteDocument", "none"},
    {180, "CopyDocument", "none"},
    {181, "CausedByDocument", "none"},
    {182, "AddFilter", "str, str"},
    {183, "Reselect", "none"},
    {184, "DeleteAllDocuments", "none"},
    {185, "NewDocument1", "num"},
    {192, "SetEntryWithThisId", "str"},
    {193, "AppendFieldStringE", "str, str"},
    {194, "BackspaceFieldStringE", "str"},
    {195, "SetFieldStringE", "str, str"},
    {196, "SetFocusE", "str"},
    {197, "SetCtlFromRefField", "ctl, str, str, str"},
    {198, "InputEntryDate", "str"},
    {257, "VelmoraTempTodo1", "none"},
    {258, "VelmoraTempTodo2", "none"},
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
