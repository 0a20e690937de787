#include "MenuTemplate.h"

const MenuItemTemplate* FindMenuItem(const MenuTemplate& menu, int32_t id)
{
    if (id == 0)
        return nullptr;
    for (const PopupMenuTemplate& popup : menu.menus)
        for (const MenuItemTemplate& item : popup.items)
            if (item.id == id)
                return &item;
    return nullptr;
}
