#include "game/screens/comics_screen.h"

#include "engine/gui/gui.h"
#include "game/screens/main_menu.h"
#include "game/shell/comics.h"
#include "game/shell/garden.h"

int cComicsWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    // While the window fades out the strip has ended: a late click must not
    // turn a page of the next episode.
    if (CanHandle() && message == vek::cGUI::e_wndCommand && IsControl(window, b, "next") && g_pGarden &&
        g_pGarden->m_pComics)
        g_pGarden->m_pComics->NextPage();
    return cBaseWF::Call(window, message, a, b);
}
