#include "framework/arb.h"

#include <cstdio>
#include <cstdlib>

#include "base/fileops.h"
#include "base/strings.h"

// Tokens longer than this are cut; the rest of the token is discarded.
static const size_t kMaxToken = 511;
// Deeper blocks are parsed but not kept, so a hostile file cannot exhaust the stack.
static const int kMaxDepth = 64;

// Splits a text of a given length into tokens: the four brackets stand
// alone, anything else runs to the next blank or bracket, leaving out 0 bytes.
// The end flag is set once the last token has been read.
class ArbTokenizer {
public:
    ArbTokenizer(const char* text, size_t length) : at(text), end(text + length) { skip_blanks(); }

    bool input_left() const { return at < end; }

    std::string next()
    {
        std::string token;
        if (at < end && is_bracket(*at)) {
            token = *at++;
        } else {
            for (; at < end && !is_blank(*at) && !is_bracket(*at); ++at)
                if (*at != 0 && token.size() < kMaxToken) token += *at;
        }
        skip_blanks();
        return token;
    }

private:
    static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool is_bracket(char c) { return c == '<' || c == '>' || c == '{' || c == '}'; }

    void skip_blanks()
    {
        while (at < end && is_blank(*at)) ++at;
    }

    const char* at;
    const char* end;
};

static void arb_error(const char* message, const std::string& detail)
{
    printf("ERROR: %s%s\n", message, detail.c_str());
}

cArbElement::cArbElement(const std::string* name, const std::string& text) : name(name)
{
    set_text(text);
}

int16_t cArbElement::count() const
{
    int16_t length = 0;
    for (const cArbElement* element = this; element; element = element->next) ++length;
    return length;
}

std::string cArbElement::join() const
{
    std::string joined = text;
    for (const cArbElement* element = next; element; element = element->next) joined += " " + element->text;
    return joined;
}

void cArbElement::set_text(const std::string& new_text)
{
    text = new_text;
    int_value = atoi(text.c_str());
    float_value = float(atof(text.c_str()));
}

cArbData::cArbData(const std::string& path) : name("ROOT")
{
    size_t length = 0;
    char* text = __mFileOps_create_bytes_from_file(path.c_str(), &length);
    if (!text) return;
    ArbTokenizer tokens(text, length);
    parse_block(tokens, 0);
    delete[] text;
}

cArbData::cArbData(const std::string& name, ArbTokenizer& tokens, int depth) : name(name)
{
    parse_block(tokens, depth);
}

cArbData::~cArbData()
{
    // A field's later elements are owned through its first one.
    for (uint32_t i = 0; i < fields.count(); ++i) {
        cArbElement* element = fields.get(i)->next;
        while (element) {
            cArbElement* following = element->next;
            delete element;
            element = following;
        }
    }
}

cArbElement* cArbData::field(const char* field_name) const
{
    return fields_by_name.find(__mystring_hash(field_name));
}

cArbData* cArbData::child(const char* child_name) const
{
    return children_by_name.find(__mystring_hash(child_name));
}

// Reads past the rest of a block without building it.
static void skip_block(ArbTokenizer& tokens)
{
    int open = 1;
    while (open > 0 && tokens.input_left()) {
        const std::string token = tokens.next();
        if (token == "{") ++open;
        if (token == "}") --open;
    }
}

void cArbData::add_child(const std::string& child_name, ArbTokenizer& tokens, int depth)
{
    const uint32_t key = __mystring_hash(child_name.c_str());
    if (children_by_name.find(key)) arb_error("ARB - Entry already exists for child ", child_name);
    if (depth + 1 > kMaxDepth) {
        arb_error("ARB - nesting too deep, block dropped inside: ", name);
        skip_block(tokens);
        return;
    }
    cArbData* node = new cArbData(child_name, tokens, depth + 1);
    child_names.insert(new std::string(child_name));
    children.insert(node);
    children_by_name.insert(node, key);
}

// A list reads elements up to its closing '>' or the end of the text.
void cArbData::add_field(const std::string& field_name, const std::string& first, ArbTokenizer* list)
{
    const uint32_t key = __mystring_hash(field_name.c_str());
    if (fields_by_name.find(key)) arb_error("ARB - Entry already exists for field ", field_name);
    std::string* stored_name = field_names.insert(new std::string(field_name));
    cArbElement* head = new cArbElement(stored_name, first == ">" && list ? "" : first);
    if (list && first != ">") {
        cArbElement* tail = head;
        while (list->input_left()) {
            const std::string token = list->next();
            if (token == ">") break;
            tail = tail->next = new cArbElement(stored_name, token);
        }
    }
    fields.insert(head);
    fields_by_name.insert(head, key);
}

void cArbData::parse_block(ArbTokenizer& tokens, int depth)
{
    if (!tokens.input_left()) return;
    std::string entry = tokens.next();
    while (entry != "}" && tokens.input_left()) {
        if (entry == "<" || entry == "{") arb_error("ARB - unexpected open brace in name area inside: ", name);
        if (entry == ">") arb_error("ARB - unexpected close brace in name area inside: ", name);
        const std::string data = tokens.next();
        if (entry == "#") {
            // a comment hides the one token after it
        } else if (data == ">" || data == "}") {
            arb_error("ARB - unexpected close brace in data start inside: ", name);
        } else if (data == "{") {
            add_child(entry, tokens, depth);
        } else if (data == "<") {
            add_field(entry, tokens.next(), &tokens);
        } else {
            add_field(entry, data, nullptr);
        }
        if (!tokens.input_left()) break;
        entry = tokens.next();
    }
}

std::string get_dont_load_textures(const cArbData* root)
{
    const cArbElement* element = root->field("DontLoadTextures");
    return element ? element->join() : std::string();
}
