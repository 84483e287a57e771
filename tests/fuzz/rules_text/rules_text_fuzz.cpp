// The rules text as the program reads it: the ARB tree from the file, then
// what start-up takes from it (textures switch, servers, control schemes).
#include "framework/arb.h"
#include "game/game.h"
#include "tests/fuzz/support/fuzz_support.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

// Every child and field is found again by its name, and the tree is no deeper than the parser keeps.
void walk(const cArbData* node, int depth)
{
    check(depth <= 64);
    check(node->children.count() == node->child_names.count());
    check(node->fields.count() == node->field_names.count());
    for (uint32_t i = 0; i < node->children.count(); ++i) {
        check(node->child(node->child_names.get(i)->c_str()) != nullptr);
        walk(node->children.get(i), depth + 1);
    }
    for (uint32_t i = 0; i < node->fields.count(); ++i) {
        const cArbElement* field = node->fields.get(i);
        check(node->field(field->name->c_str()) != nullptr);
        check(field->count() >= 1);
        field->join();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const cArbData rules(scratch_file("zorblitRally.ini", data, size));
    walk(&rules, 0);
    get_dont_load_textures(&rules);
    for (const cArbElement* server = rules.field("Servers"); server; server = server->next) server->text.size();
    delete control_scheme_names(&rules);
    return 0;
}
