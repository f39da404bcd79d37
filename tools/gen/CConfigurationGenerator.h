// Generates a legal configuration document for quilconf: menus, journals, documents with
// common entries, record views, references and frames, each object with two dozen entries
// (half of them with data sources), forms of controls of every type, and action expressions
// in control events, form and object action lists, menu items and form-menu items.
//
// The shape sets how many objects, forms and controls there are and whether every control
// carries events: the plain shape has two forms of fifty controls per object, most of them
// without events; the dense shape fills the section records and the string pool close to
// their limits with controls and short expressions instead of long texts.
//
// The generator keeps count of what the compiler will store (the string pool and every
// section record) and refuses to produce a document that would pass the compiler's limits.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "CXmlWriter.h"
#include "ConfigurationLayout.h"

class CConfigurationGenerator {
public:
    // Bytes of the strings record, and of one section record.
    static constexpr size_t kPoolLimit = ConfigurationLayout::kMaxRecordSize;
    static constexpr size_t kRecordLimit = ConfigurationLayout::kMaxRecordSize;
    static constexpr int kEntriesPerObject = 24;

    struct Shape {
        int objects;  // of each kind (journals, documents, ...), and as many menus
        int formsPerObject;
        int controlsPerForm;  // at least 11: the first table stands at id 11
        bool dense;           // events on every control that can take them
        // 0: the fixed document. Any other value varies, from that seed, what only the control
        // records hold (places, sizes, layers, navigation, fonts, flags, frames, groups,
        // bitmaps) and the order of each control's events; the texts, the pool and the records'
        // sizes stay those of the fixed document.
        unsigned seed = 0;
    };

    explicit CConfigurationGenerator(const Shape& shape);

    // The document; empty when it would pass a limit, with the reason in Error().
    std::string Generate();
    const std::string& Error() const { return error_; }

    // What the compiler will store for the generated document.
    size_t PoolBytes() const { return pool_; }
    size_t LargestRecord() const { return largestRecord_; }

private:
    // One action expression: its text, the bytes of its action code (length word included)
    // and the string arguments the pool receives before the code.
    struct Expression {
        std::string text;
        size_t codeBytes;
        std::vector<std::string> strings;
    };

    // The pool entry of a text: its length word and the text padded to an even size.
    static size_t PoolEntry(std::string_view utf8);
    // Counts a text added to the pool and hands it back.
    std::string_view Pooled(std::string_view utf8);
    // Counts the pool entries of an expression and hands back its text.
    const std::string& Compiled(const Expression& expression);

    void BeginSection(size_t headerBytes);
    void EndSection(std::string_view name);

    void WriteMenus();
    void WriteCommonEntries();
    void WriteEntries();
    void WriteForms(std::string_view menu);
    void WriteControl(int index, int tableId);
    void WriteObjectActs(std::initializer_list<std::pair<std::string_view, Expression>> events);

    // A number below `count` from the seed's sequence.
    int Pick(int count);
    // One of the texts, picked.
    std::string_view PickOf(std::initializer_list<std::string_view> texts);

    Shape shape_;
    std::minstd_rand random_;
    int objects_;
    CXmlWriter xml_;
    size_t pool_ = 2;  // the strings record starts with two zero bytes
    size_t section_ = 0;
    size_t largestRecord_ = 0;
    size_t commonDescription_ = 0;  // description bytes of the common entries
    std::string error_;
};
