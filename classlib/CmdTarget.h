// Command targets and message maps.
//
// Every class that receives messages has a static table of entries and a
// virtual GetMessageMap that returns it; each table names the table of its
// base class, so a look-up walks from the most derived class to CCmdTarget.
// An entry holds what it matches (a window message, a registered message, a
// command or control notification with an id range, a WM_NOTIFY code with an
// id range, or a command-update request) together with a handler and the
// "thunk" that unpacks the message's parameters for that handler's signature.
#pragma once

#include <windows.h>

class CCmdTarget;
class CCmdUI;

// Any member function, stored in one type; the thunk casts it back.
typedef void (CCmdTarget::*AfxPMSG)();

// What a thunk gets besides the target and the handler.
struct AfxMsgCall {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;       // command or control id (commands and notifications)
    void* pExtra;   // CCmdUI* for updates, AfxNotifyInfo* for WM_NOTIFY
};

typedef LRESULT (*AfxMsgThunk)(CCmdTarget* target, AfxPMSG pfn, const AfxMsgCall& call);

struct CMessageMapEntry {
    UINT nMessage;              // window message, WM_COMMAND or WM_NOTIFY
    UINT nCode;                 // notification code, or CN_UPDATE_COMMAND_UI
    UINT nID;                   // first id of the range
    UINT nLastID;               // last id of the range
    const UINT* pnRegMessage;   // registered message: the variable holding its id
    AfxMsgThunk pfnThunk;       // NULL ends a table
    AfxPMSG pfn;
};

struct CMessageMap {
    const CMessageMap* (*pfnGetBaseMap)();
    const CMessageMapEntry* lpEntries;
};

// Command codes passed to OnCmdMsg besides the control notification codes.
enum : int {
    CN_COMMAND = 0,
    CN_UPDATE_COMMAND_UI = -1,
};
// WM_NOTIFY codes reach OnCmdMsg as MAKELONG(code, WM_NOTIFY).
inline int AfxNotifyCmdCode(UINT nmCode) { return (int)MAKELONG(LOWORD(nmCode), WM_NOTIFY); }

struct AfxNotifyInfo {
    NMHDR* pNMHDR;
    LRESULT* pResult;
};

// Filled by OnCmdMsg instead of calling the handler, to ask whether one exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    const CMessageMapEntry* pEntry;
};

class CCmdTarget {
public:
    CCmdTarget() {}
    virtual ~CCmdTarget() {}
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Routes a command, a control notification, a WM_NOTIFY or an update
    // request to this object's message map. TRUE when a handler took it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The entry of this object's map (or its bases') for a window message.
    const CMessageMapEntry* FindMessageEntry(UINT message) const;

protected:
    static const CMessageMap* GetThisMessageMap();
    virtual const CMessageMap* GetMessageMap() const;
};

// ---------------------------------------------------------------------------
// Declaring and defining a map

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const CMessageMap* GetThisMessageMap(); \
    const CMessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const CMessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const CMessageMap* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static const CMessageMapEntry entries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, nullptr, nullptr, nullptr } \
        }; \
        static const CMessageMap map = { &TheBaseClass::GetThisMessageMap, entries }; \
        (void)sizeof(ThisClass*); \
        return &map; \
    }

// ---------------------------------------------------------------------------
// Thunks for the generic entries (defined in CmdTarget.cpp)

LRESULT AfxSig_cmd(CCmdTarget*, AfxPMSG, const AfxMsgCall&);        // void ()
LRESULT AfxSig_cmd_range(CCmdTarget*, AfxPMSG, const AfxMsgCall&);  // void (UINT id)
LRESULT AfxSig_cmd_ex(CCmdTarget*, AfxPMSG, const AfxMsgCall&);     // BOOL (UINT id)
LRESULT AfxSig_cmdui(CCmdTarget*, AfxPMSG, const AfxMsgCall&);      // void (CCmdUI*)
LRESULT AfxSig_notify(CCmdTarget*, AfxPMSG, const AfxMsgCall&);     // void (NMHDR*, LRESULT*)
LRESULT AfxSig_notify_range(CCmdTarget*, AfxPMSG, const AfxMsgCall&); // void (UINT, NMHDR*, LRESULT*)
LRESULT AfxSig_lwl(CCmdTarget*, AfxPMSG, const AfxMsgCall&);        // LRESULT (WPARAM, LPARAM)

#define AFX_PMSG_CAST(type, fn) reinterpret_cast<AfxPMSG>(static_cast<type>(fn))

// Commands (menus, accelerators, tool-bar buttons) by id or id range.
#define ON_COMMAND(id, fn) \
    { WM_COMMAND, (UINT)CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, &AfxSig_cmd, \
      AFX_PMSG_CAST(void (CCmdTarget::*)(), &ThisClass::fn) },
#define ON_COMMAND_RANGE(id, idLast, fn) \
    { WM_COMMAND, (UINT)CN_COMMAND, (UINT)(id), (UINT)(idLast), nullptr, &AfxSig_cmd_range, \
      AFX_PMSG_CAST(void (CCmdTarget::*)(UINT), &ThisClass::fn) },
// The handler answers FALSE to let the command go on to the next target.
#define ON_COMMAND_EX(id, fn) \
    { WM_COMMAND, (UINT)CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, &AfxSig_cmd_ex, \
      AFX_PMSG_CAST(BOOL (CCmdTarget::*)(UINT), &ThisClass::fn) },
#define ON_COMMAND_EX_RANGE(id, idLast, fn) \
    { WM_COMMAND, (UINT)CN_COMMAND, (UINT)(id), (UINT)(idLast), nullptr, &AfxSig_cmd_ex, \
      AFX_PMSG_CAST(BOOL (CCmdTarget::*)(UINT), &ThisClass::fn) },

// Command-update handlers: enable, check or relabel a menu item or button.
#define ON_UPDATE_COMMAND_UI(id, fn) \
    { WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), nullptr, &AfxSig_cmdui, \
      AFX_PMSG_CAST(void (CCmdTarget::*)(CCmdUI*), &ThisClass::fn) },
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, fn) \
    { WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(idLast), nullptr, &AfxSig_cmdui, \
      AFX_PMSG_CAST(void (CCmdTarget::*)(CCmdUI*), &ThisClass::fn) },

// Control notifications carried by WM_COMMAND.
#define ON_CONTROL(code, id, fn) \
    { WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), nullptr, &AfxSig_cmd, \
      AFX_PMSG_CAST(void (CCmdTarget::*)(), &ThisClass::fn) },
#define ON_CONTROL_RANGE(code, id, idLast, fn) \
    { WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(idLast), nullptr, &AfxSig_cmd_range, \
      AFX_PMSG_CAST(void (CCmdTarget::*)(UINT), &ThisClass::fn) },

#define ON_BN_CLICKED(id, fn)       ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_BN_SETFOCUS(id, fn)      ON_CONTROL(BN_SETFOCUS, id, fn)
#define ON_BN_KILLFOCUS(id, fn)     ON_CONTROL(BN_KILLFOCUS, id, fn)
#define ON_EN_CHANGE(id, fn)        ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_UPDATE(id, fn)        ON_CONTROL(EN_UPDATE, id, fn)
#define ON_EN_SETFOCUS(id, fn)      ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_KILLFOCUS(id, fn)     ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_EN_MAXTEXT(id, fn)       ON_CONTROL(EN_MAXTEXT, id, fn)
#define ON_LBN_SELCHANGE(id, fn)    ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn)       ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_LBN_SELCANCEL(id, fn)    ON_CONTROL(LBN_SELCANCEL, id, fn)
#define ON_LBN_SETFOCUS(id, fn)     ON_CONTROL(LBN_SETFOCUS, id, fn)
#define ON_LBN_KILLFOCUS(id, fn)    ON_CONTROL(LBN_KILLFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn)    ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_DBLCLK(id, fn)       ON_CONTROL(CBN_DBLCLK, id, fn)
#define ON_CBN_EDITCHANGE(id, fn)   ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_CBN_EDITUPDATE(id, fn)   ON_CONTROL(CBN_EDITUPDATE, id, fn)
#define ON_CBN_DROPDOWN(id, fn)     ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_CLOSEUP(id, fn)      ON_CONTROL(CBN_CLOSEUP, id, fn)
#define ON_CBN_SELENDOK(id, fn)     ON_CONTROL(CBN_SELENDOK, id, fn)
#define ON_CBN_SELENDCANCEL(id, fn) ON_CONTROL(CBN_SELENDCANCEL, id, fn)
#define ON_CBN_SETFOCUS(id, fn)     ON_CONTROL(CBN_SETFOCUS, id, fn)
#define ON_CBN_KILLFOCUS(id, fn)    ON_CONTROL(CBN_KILLFOCUS, id, fn)
#define ON_STN_CLICKED(id, fn)      ON_CONTROL(STN_CLICKED, id, fn)
#define ON_STN_DBLCLK(id, fn)       ON_CONTROL(STN_DBLCLK, id, fn)

// WM_NOTIFY by code and control id.
#define ON_NOTIFY(code, id, fn) \
    { WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), nullptr, &AfxSig_notify, \
      AFX_PMSG_CAST(void (CCmdTarget::*)(NMHDR*, LRESULT*), &ThisClass::fn) },
#define ON_NOTIFY_RANGE(code, id, idLast, fn) \
    { WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(idLast), nullptr, &AfxSig_notify_range, \
      AFX_PMSG_CAST(void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), &ThisClass::fn) },

// Any window message, or a message id registered at run time, with the raw
// parameters; the handler's result is the message's result.
#define ON_MESSAGE(message, fn) \
    { (UINT)(message), 0, 0, 0, nullptr, &AfxSig_lwl, \
      AFX_PMSG_CAST(LRESULT (CCmdTarget::*)(WPARAM, LPARAM), &ThisClass::fn) },
#define ON_REGISTERED_MESSAGE(idVariable, fn) \
    { 0xC000, 0, 0, 0, &(idVariable), &AfxSig_lwl, \
      AFX_PMSG_CAST(LRESULT (CCmdTarget::*)(WPARAM, LPARAM), &ThisClass::fn) },
