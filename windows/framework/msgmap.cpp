/*
** Message maps: table lookup along the class chain, and the call through
** the entry's signature.
*/
#include "windows/framework/msgmap.h"

const MsgMap *CCmdTarget::ThisMessageMap()
{
    static const MsgEntry entries[] = {
        { 0, 0, 0, 0, 0 }
    };
    static const MsgMap map = { NULL, entries };
    return &map;
}

/* The first entry for the message, most derived class first; NULL if none. */
const MsgEntry *CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const
{
    const MsgMap *map;
    const MsgEntry *e;

    for (map = GetMessageMap(); map; map = map->base ? map->base() : NULL)
        for (e = map->entries; e->message != 0; e++)
            if (e->message == message && e->code == code && e->id == id)
                return e;
    return NULL;
}

LRESULT CCmdTarget::CallEntry(const MsgEntry *e)
{
    if (e->iconhandler)
        return (LRESULT)(this->*e->iconhandler)();
    (this->*e->handler)();
    return 0;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code)
{
    const MsgEntry *e = FindEntry(WM_COMMAND, code, id);

    if (!e)
        return FALSE;
    CallEntry(e);
    return TRUE;
}
