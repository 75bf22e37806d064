#include "classlib/CmdTarget.h"

const CMessageMap* CCmdTarget::GetThisMessageMap()
{
    static const CMessageMapEntry entries[] = {
        { 0, 0, 0, 0, nullptr, nullptr, nullptr }
    };
    static const CMessageMap map = { nullptr, entries };
    return &map;
}

const CMessageMap* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

static bool EntryMatchesCommand(const CMessageMapEntry& e, UINT nID, int nCode)
{
    if (nID < e.nID || nID > e.nLastID)
        return false;
    if (HIWORD((UINT)nCode) == WM_NOTIFY && nCode != CN_UPDATE_COMMAND_UI)
        return e.nMessage == WM_NOTIFY && LOWORD(e.nCode) == LOWORD((UINT)nCode);
    return e.nMessage == WM_COMMAND && (int)e.nCode == nCode;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    for (const CMessageMap* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const CMessageMapEntry* e = map->lpEntries; e->pfnThunk != nullptr; ++e) {
            if (!EntryMatchesCommand(*e, nID, nCode))
                continue;
            if (pHandlerInfo != nullptr) {
                pHandlerInfo->pTarget = this;
                pHandlerInfo->pEntry = e;
                return TRUE;
            }
            AfxMsgCall call = { e->nMessage, 0, 0, nID, pExtra };
            // An extended command handler may decline, letting the search go on.
            if (e->pfnThunk == &AfxSig_cmd_ex) {
                if (e->pfnThunk(this, e->pfn, call))
                    return TRUE;
                continue;
            }
            e->pfnThunk(this, e->pfn, call);
            return TRUE;
        }
    }
    return FALSE;
}

const CMessageMapEntry* CCmdTarget::FindMessageEntry(UINT message) const
{
    if (message == WM_COMMAND || message == WM_NOTIFY)
        return nullptr;
    for (const CMessageMap* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const CMessageMapEntry* e = map->lpEntries; e->pfnThunk != nullptr; ++e) {
            if (e->pnRegMessage != nullptr) {
                if (*e->pnRegMessage != 0 && *e->pnRegMessage == message)
                    return e;
            } else if (e->nMessage == message) {
                return e;
            }
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------

template <typename F>
static F Cast(AfxPMSG pfn) { return reinterpret_cast<F>(pfn); }

LRESULT AfxSig_cmd(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall&)
{
    (t->*Cast<void (CCmdTarget::*)()>(pfn))();
    return 0;
}

LRESULT AfxSig_cmd_range(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(UINT)>(pfn))(c.nID);
    return 0;
}

LRESULT AfxSig_cmd_ex(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    return (t->*Cast<BOOL (CCmdTarget::*)(UINT)>(pfn))(c.nID);
}

LRESULT AfxSig_cmdui(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    (t->*Cast<void (CCmdTarget::*)(CCmdUI*)>(pfn))(static_cast<CCmdUI*>(c.pExtra));
    return 0;
}

LRESULT AfxSig_notify(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    AfxNotifyInfo* info = static_cast<AfxNotifyInfo*>(c.pExtra);
    (t->*Cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(pfn))(info->pNMHDR, info->pResult);
    return 0;
}

LRESULT AfxSig_notify_range(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    AfxNotifyInfo* info = static_cast<AfxNotifyInfo*>(c.pExtra);
    (t->*Cast<void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(pfn))(c.nID, info->pNMHDR, info->pResult);
    return 0;
}

LRESULT AfxSig_lwl(CCmdTarget* t, AfxPMSG pfn, const AfxMsgCall& c)
{
    return (t->*Cast<LRESULT (CCmdTarget::*)(WPARAM, LPARAM)>(pfn))(c.wParam, c.lParam);
}
