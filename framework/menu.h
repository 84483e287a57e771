// The server browser menu, the program's first screen: title and credits, the
// player name, the option lists the game adds, the servers to join with the
// add-server dialogue, and Host Game. Everything is laid out from the window's
// horizontal centre; buttons are hit where they are drawn, the text fields
// answer clicks in fixed bands.
#pragma once

#include <cstdint>
#include <string>

#include "base/containers.h"

constexpr uint16_t kMenuHostGame = 0xFFFE;
constexpr uint16_t kMenuNothing = 0xFFFF;

class cVantorMenu {
public:
    // One row of options; the chosen position is written through selection.
    struct ButtonList {
        ButtonList(uint16_t* selection, const std::string& title, DSParray<std::string>* options)
            : selection(selection), title(title), options(options) {}
        ~ButtonList() { delete options; }
        ButtonList(const ButtonList&) = delete;
        ButtonList& operator=(const ButtonList&) = delete;

        uint16_t* selection;
        std::string title;
        DSParray<std::string>* options;  // owned
    };

    cVantorMenu() = default;
    virtual ~cVantorMenu() = default;
    cVantorMenu(const cVantorMenu&) = delete;
    cVantorMenu& operator=(const cVantorMenu&) = delete;

    // Keeps the two buffers, which the menu edits in place: first_field holds
    // at least 32 bytes; second_field is a password buffer or null for none.
    virtual void setup(std::string title, std::string credits, char* first_field, char* second_field);
    // kMenuHostGame, kMenuNothing or the index of the server to join.
    virtual uint16_t update(float dt);
    virtual void draw();

    void add_server(std::string name);

    float blink_phase = 0;
    int32_t focus = 0;  // 0 the first field, 1 the second
    char* first_field = nullptr;
    char* second_field = nullptr;
    std::string title;
    std::string credits;
    DSParray<std::string> server_names{false};
    DSarray<short> server_states;  // 0 normal, 1 the last attempt to join failed
    DSParray<ButtonList> button_lists{false};
    bool initialised = false;  // Host Game is shown and answered once set
    char new_server_name[64] = {};
    bool adding_server = false;

private:
    struct Layout;

    uint16_t update_dialogue(const Layout& layout);
    void select_field(const Layout& layout);
    void select_options(const Layout& layout);
    uint16_t click_servers(const Layout& layout);
    void draw_edit_field(const Layout& layout, int32_t y, const char* label, const char* text, bool focused,
                         bool masked) const;
    void draw_option_lists(const Layout& layout) const;
    void draw_server_list(const Layout& layout) const;
    void report_missing_field() const;
};
