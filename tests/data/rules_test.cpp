// The game's rules file: it parses cleanly, names its server, and every
// control scheme binds inputs that exist.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/input_names.h"
#include "framework/arb.h"

namespace {

std::string input_name(const std::string& word)
{
    std::string name = word;
    std::replace(name.begin(), name.end(), '_', ' ');
    return name;
}

template <class Table>
bool names_input(const Table& table, const std::string& word)
{
    return word == "NULL" || std::find(table.begin(), table.end(), input_name(word)) != table.end();
}

const cArbElement* value(const cArbElement* field, int index)
{
    while (field && index-- > 0) field = field->next;
    return field;
}

}  // namespace

TEST(RulesFile, ParsesWithoutAnErrorLine)
{
    testing::internal::CaptureStdout();
    cArbData rules(ZR_GAME_DIR "/data/zorblitRally/rules.ini");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(rules.field("Servers"), nullptr);
    EXPECT_EQ(rules.field("Servers")->join(), "127.0.0.1");
}

TEST(RulesFile, ControlSchemesBindKnownInputs)
{
    cArbData rules(ZR_GAME_DIR "/data/zorblitRally/rules.ini");
    std::vector<std::string> schemes;
    for (uint32_t i = 0; i < rules.children.count(); ++i) {
        const cArbData* scheme = rules.children.get(i);
        const cArbElement* turn = scheme->field("TURN");
        if (!turn) continue;
        schemes.push_back(scheme->name);
        ASSERT_GE(turn->count(), 4) << scheme->name;
        EXPECT_TRUE(turn->text == "+" || turn->text == "-") << scheme->name;
        EXPECT_TRUE(names_input(analogAxisNames, value(turn, 1)->text)) << scheme->name;
        EXPECT_TRUE(names_input(keyNames, value(turn, 2)->text)) << scheme->name;
        EXPECT_TRUE(names_input(keyNames, value(turn, 3)->text)) << scheme->name;
        for (const char* button : {"ACCELERATE", "BRAKE", "RESPAWN"}) {
            const cArbElement* binding = scheme->field(button);
            ASSERT_NE(binding, nullptr) << scheme->name << " " << button;
            EXPECT_EQ(binding->count(), 1) << scheme->name << " " << button;
            EXPECT_TRUE(names_input(keyNames, binding->text)) << scheme->name << " " << button << " " << binding->text;
            EXPECT_NE(binding->text, "NULL") << scheme->name << " " << button;
        }
    }
    ASSERT_GE(schemes.size(), 2u);
    EXPECT_EQ(schemes[0], "Keyboard");
    EXPECT_EQ(schemes[1], "Mouse");
    EXPECT_EQ(input_name(value(rules.child("Mouse")->field("TURN"), 1)->text), "Mouse X");
    EXPECT_EQ(input_name(value(rules.child("Keyboard")->field("TURN"), 2)->text), "Left");
}
