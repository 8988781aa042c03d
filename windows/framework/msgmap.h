/*
** Message maps: each class that handles messages keeps a small static
** table of entries, chained to its base class's table. A lookup walks the
** chain from the most derived class, so a class overrides its base.
*/
#ifndef VEXLORE_MSGMAP_H
#define VEXLORE_MSGMAP_H

#include <windows.h>

class CCmdTarget;

/* A handler returns nothing, or (for WM_QUERYDRAGICON) the message's
** result; an entry holds one of the two kinds and leaves the other 0. */
typedef void (CCmdTarget::*MsgHandler)();
typedef HCURSOR (CCmdTarget::*MsgHandlerIcon)();

struct MsgEntry {
    UINT message;   /* 0 ends a table; WM_COMMAND also matches code and id */
    UINT code;
    UINT id;
    MsgHandler handler;
    MsgHandlerIcon iconhandler;
};

struct MsgMap {
    const MsgMap *(*base)();    /* the base class's table, NULL at the root */
    const MsgEntry *entries;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() {}

    /* Runs the handler of a WM_COMMAND (control id and notification code);
    ** FALSE when this object's tables have none. */
    BOOL OnCmdMsg(UINT id, UINT code);

protected:
    static const MsgMap *ThisMessageMap();
    virtual const MsgMap *GetMessageMap() const { return ThisMessageMap(); }

    const MsgEntry *FindEntry(UINT message, UINT code, UINT id) const;
    LRESULT CallEntry(const MsgEntry *e);
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const MsgMap *ThisMessageMap(); \
    virtual const MsgMap *GetMessageMap() const { return ThisMessageMap(); }

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const MsgMap *theClass::ThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static const MsgEntry entries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, 0 } \
        }; \
        static const MsgMap map = { &TheBaseClass::ThisMessageMap, entries }; \
        return &map; \
    }

#define ON_COMMAND(id, fn) \
    { WM_COMMAND, 0, (UINT)(id), static_cast<MsgHandler>(&ThisClass::fn), 0 },

#define ON_BN_CLICKED(id, fn) \
    { WM_COMMAND, BN_CLICKED, (UINT)(id), static_cast<MsgHandler>(&ThisClass::fn), 0 },

#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, static_cast<MsgHandler>(&ThisClass::OnPaint), 0 },

#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, 0, \
      static_cast<MsgHandlerIcon>(&ThisClass::OnQueryDragIcon) },

#endif
