// ARB: the text format of the rules and settings files. A block holds
// "name value" pairs, "name < v1 v2 ... >" lists and "name { ... }" child
// blocks; "#" hides the one token after it.
#pragma once

#include <cstdint>
#include <string>

#include "base/containers.h"

// One value of a field; a list is a chain of elements.
class cArbElement {
public:
    cArbElement(const std::string* name, const std::string& text);
    virtual ~cArbElement() = default;
    cArbElement(const cArbElement&) = delete;
    cArbElement& operator=(const cArbElement&) = delete;

    int16_t count() const;
    // The texts of the chain, one blank between them.
    std::string join() const;
    void set_text(const std::string& new_text);

    const std::string* name;
    std::string text;
    int int_value = 0;
    float float_value = 0;
    cArbElement* next = nullptr;
};

class ArbTokenizer;

class cArbData {
public:
    // The root node "ROOT" of a file; a file that cannot be read gives an empty root.
    explicit cArbData(const std::string& path);
    cArbData(const std::string& name, ArbTokenizer& tokens, int depth);
    virtual ~cArbData();
    cArbData(const cArbData&) = delete;
    cArbData& operator=(const cArbData&) = delete;

    cArbElement* field(const char* field_name) const;
    cArbData* child(const char* child_name) const;

    std::string name;
    DSParray<std::string> child_names{false};
    DSParray<cArbData> children{false};
    DSPrefHashMap<cArbData> children_by_name;
    DSParray<std::string> field_names{false};
    DSParray<cArbElement> fields{false};
    DSPrefHashMap<cArbElement> fields_by_name;

private:
    void parse_block(ArbTokenizer& tokens, int depth);
    void add_child(const std::string& child_name, ArbTokenizer& tokens, int depth);
    void add_field(const std::string& field_name, const std::string& first, ArbTokenizer* list);
};

// The joined text of the root field "DontLoadTextures", or "".
std::string get_dont_load_textures(const cArbData* root);
