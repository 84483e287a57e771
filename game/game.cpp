#include "game/game.h"

#include "base/modules.h"
#include "framework/arb.h"
#include "framework/menu.h"
#include "game/network_play.h"
#include "game/packets.h"
#include "game/planet.h"
#include "game/projectile.h"
#include "game/race_start.h"
#include "game/settings.h"

const std::string build_tag = "dev";
const std::string speciesNames[kSpeciesCount] = {"Fox", "Ermine"};
const std::string musicTracks[kMusicTracks] = {
    "data/zorblitRally/music/Divive - A.ogg",
    "data/zorblitRally/music/Divive - B.ogg",
    "data/zorblitRally/music/Divive - C.ogg",
    "data/zorblitRally/music/Divive - D.ogg",
};

static const float kFrameRateCap = 100.0f;
static const uint8_t kDefaultRosterInterval = 23;
static const uint8_t kDefaultUpdateInterval = 4;

cGame::cGame() = default;

// The records go last to first, as members do.
cGame::~cGame()
{
    delete_track(&track);
    delete world;
}

player_record* cGame::player(int slot)
{
    return slot >= 0 && slot < kPlayerSlots ? &players[slot] : nullptr;
}

std::string credits_text()
{
    static const char* const people[3][2] = {
        {"The Zorblit Code Crew", "code, game design"},
        {"The Zorblit Art Crew", "art, game design"},
        {"The Zorblit Sound Crew", "music"},
    };
    std::string text;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) text += "\n";
        text += std::string("#C0488") + people[i][0] + "#C5558 - " + people[i][1];
    }
    return text;
}

void cGame::game_init()
{
    system_interface* system = __mSystem_instance()->interface_table;
    if (system) system->set_fps_cap(&kFrameRateCap);
    menu->setup("Zorblit Rally - " + build_tag, credits_text(), settings_record.player_name, nullptr);
    program_startup("zorblitRally.ini", "data/zorblitRally/rules.ini", "zorblitRally.servers");
    if (settings_record.roster_interval == 0) settings_record.roster_interval = kDefaultRosterInterval;
    if (settings_record.update_interval == 0) settings_record.update_interval = kDefaultUpdateInterval;
    chat.anchor_top = true;
    chat.lines_offset = 80;
    add_menu_options();
    load_game_resources();
}

void cGame::game_shutdown()
{
    delete world;
    world = nullptr;
    save_servers_file();
}

DSParray<std::string>* control_scheme_names(const cArbData* rules)
{
    DSParray<std::string>* names = new DSParray<std::string>(false);
    for (uint32_t i = 0; rules && i < rules->children.count(); ++i) {
        const cArbData* scheme = rules->children.get(i);
        const cArbElement* turn = scheme->field("TURN");
        if (turn && !turn->text.empty()) names->insert(new std::string(scheme->name));
    }
    return names;
}

static void add_button_list(cVantorMenu* menu, const std::string& title, uint16_t* selection,
                            DSParray<std::string>* options)
{
    menu->button_lists.insert(new cVantorMenu::ButtonList(selection, title, options));
}

void cGame::add_menu_options()
{
    if (settings_record.player_name[0] == 0)
        copy_player_name(settings_record.player_name, __mNetwork_instance()->host_name);
    add_button_list(menu, "Selected Control Scheme", &settings_record.control_scheme, control_scheme_names(rules));
    DSParray<std::string>* species = new DSParray<std::string>(false);
    for (const std::string& name : speciesNames) species->insert(new std::string(name));
    add_button_list(menu, "Selected Species", &settings_record.species, species);
}

void cGame::on_client_joined()
{
    own_slot = kNoSlot;
    host_slot = kNoSlot;
    start_joining(this);
}

void cGame::on_client_leave()
{
    leave_race(this);
    czrpBare quit(kPacketClientQuit);
    send_packet(kAllConnections, &player(0)->link, &quit);
    clear_carts();
    clear_projectiles();
}

void cGame::on_host_started()
{
    for (player_record& record : players) record.state = kSlotFree;
    own_slot = 0;
    player_record& own = *player(0);
    own.link.slot_index = 0;
    own.link.connection_id = kAllConnections;
    own.state = kSlotInUse;
    own.clear_roster(settings_record.player_name, uint8_t(settings_record.species));
    host_slot = kNoSlot;
}

// The clients hear of the end before the slots are cleared, so the 104 still
// reaches every joined one.
void cGame::on_host_stop()
{
    leave_race(this);
    czrpBare booted(kPacketBooted);
    send_to_all(this, &booted);
    for (player_record& record : players) record.state = kSlotFree;
    clear_carts();
    clear_projectiles();
}

void cGame::send_join_request()
{
    czrpRequestJoin request(settings_record.player_name, settings_record.species);
    send_packet(kAllConnections, &player(0)->link, &request);
}
