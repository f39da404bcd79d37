// What a configuration document defines and where it uses those definitions, found by the
// compiler's own rules: the menus and the objects of every section as the section readers find
// them, the forms and controls of each object, the entries a control may name (the compiler's
// entry list), the control ids of a form (its control id list), and the calls of every action
// expression split into lexemes by the action compiler. From this come the outline, the
// definitions and uses of names, and the semantic checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CAnalysis.h"
#include "CDocumentTree.h"

class CConfigurationModel {
public:
    // A piece of an attribute value: its text (UTF-8) and its range.
    struct Piece {
        std::string text;
        SRange range;
        SRange inner;  // a string's characters without its quotes; else the same as `range`
    };

    struct Form;

    // One call of an action expression.
    struct Call {
        XmlNode node = nullptr;
        Piece function;
        std::vector<Piece> arguments;  // as written: strings keep their quotes
        // The form whose controls the compiler gives this expression; null when it gives none.
        const Form* form = nullptr;
    };

    struct Control {
        XmlNode node = nullptr;
        std::string type;
        int id = 0;  // low 16 bits, as the compiler's control id list reads it
        uint16_t x = 0, y = 0, w = 0, h = 0;
        uint8_t layer = 255;  // 255: on every layer
    };

    struct Object;

    struct Form {
        XmlNode node = nullptr;
        std::string name;
        std::string scope;  // of its control ids
        const Object* object = nullptr;
        std::vector<Control> controls;
    };

    struct Object {
        ENameKind kind = ENameKind::Document;
        std::string element;  // "journal", "document", ...
        XmlNode node = nullptr;
        std::string name;
        std::string scope;  // of its entries and forms
        std::vector<Form> forms;
    };

    explicit CConfigurationModel(const CDocumentTree& tree);

    const CDocumentTree& Tree() const { return tree_; }
    const std::vector<Object>& Objects() const { return objects_; }
    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<SSymbol>& Symbols() { return symbols_; }
    std::vector<SNameUse>& Names() { return names_; }
    const std::vector<SNameUse>& Names() const { return names_; }
    // For each of Names(), what gives it: the attribute ("entry", "firstNav", ...) or the
    // action function ("OpenJournal", ...).
    const std::vector<std::string>& Origins() const { return origins_; }
    // The elements the compiler reads as menus, common entries and objects (it finds them
    // anywhere in the document, through other elements).
    const std::vector<XmlNode>& Sections() const { return sections_; }
    // The client's screen.
    uint16_t ScreenWidth() const { return screenWidth_; }
    uint16_t ScreenHeight() const { return screenHeight_; }

    // The action functions that open an object by its name (first argument) and, as the
    // second, one of its forms; the kind of object, or false for any other function (its name
    // as the catalogue spells it).
    static bool OpenedKind(std::string_view function, ENameKind& kind);
    // The scope of the common entries.
    static constexpr const char* kCommonScope = "commonEntries";

    // The objects of one kind, null-free; and the object of a kind and name (exact), or null.
    const Object* FindObject(ENameKind kind, std::string_view name) const;

    // A text of the document (Windows-1251 as CXMLDOM reads it) in UTF-8.
    static std::string Utf8(std::string_view narrow);

private:
    void ReadMenus();
    void ReadMenuItems(XmlNode parent, std::vector<SSymbol>& symbols);
    void ReadObjects(const char* element, ENameKind kind, ESymbolKind symbol);
    void ReadEntries(XmlNode entries, const std::string& scope, std::vector<SSymbol>* symbols);
    void ReadForm(XmlNode node, Object& object, SSymbol& symbol);
    void ReadControl(XmlNode node, Form& form, size_t index, SSymbol& symbol);
    // The calls of the `func`/`funcs` attribute of `node`, if any.
    void ReadActions(XmlNode node, const Form* form);
    // Every action expression of the document.
    void ReadAllActions();
    // A definition or use whose name is the whole value of an attribute.
    void AddName(ENameKind kind, XmlNode node, std::string_view attribute, std::string name,
                 const std::string& scope, bool definition);
    void AddUse(ENameKind kind, const SRange& range, std::string name, const std::string& scope,
                std::string origin);
    // The names the calls use: objects and forms opened by name, controls as arguments.
    void AddCallNames();
    SSymbol MakeSymbol(ESymbolKind kind, XmlNode node, std::string_view attribute, std::string name,
                       std::string detail = {}) const;
    // The value of the attribute with the places of its bytes (ranges of the start tag when
    // the tag is not known).
    CDocumentText::Value ValueOf(XmlNode node, std::string_view attribute) const;
    SRange RangeIn(XmlNode node, const CDocumentText::Value& value, size_t begin, size_t end) const;

    const CDocumentTree& tree_;
    std::vector<Object> objects_;
    std::vector<Call> calls_;
    std::vector<SSymbol> symbols_;
    std::vector<SNameUse> names_;
    std::vector<std::string> origins_;
    std::vector<XmlNode> sections_;
    uint16_t screenWidth_ = 0;
    uint16_t screenHeight_ = 0;
};
