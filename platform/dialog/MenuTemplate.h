// A dialog's menu bar described as data: menus with their items, each with
// id, text and how it is checked. Choosing an item gives the dialog a
// command with the item's id, as a push button does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MenuItemTemplate {
    int32_t id; // 0: a separator line
    std::string text;
    bool checkable = false; // shows a check mark that the item turns on and off
    int32_t radioGroup = 0; // not 0: one of the items of this group is checked, the others not
    std::string shortcut;   // "Ctrl+Z", "Ctrl+Shift+Z": keys that choose the item; empty for none
};

struct PopupMenuTemplate {
    std::string text; // "&Options": the letter after & opens it with Alt
    std::vector<MenuItemTemplate> items;
};

struct MenuTemplate {
    int32_t id;
    std::vector<PopupMenuTemplate> menus;
};

// The item with the id; null when the menu has none (or for id 0).
const MenuItemTemplate* FindMenuItem(const MenuTemplate& menu, int32_t id);
