#include "framework/MessageMap.h"

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const MessageMap map = {nullptr, &entries[0]};
    return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

namespace {

bool MatchesWindowMessage(const MessageMapEntry& e, UINT message) {
    if (e.message == WM_COMMAND || e.message == WM_NOTIFY) return false;
    if (e.message == kMsgRegistered)
        return e.registered && *e.registered >= 0xC000 && *e.registered == message;
    if (e.message == kMsgCtlColorAny) return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    return e.message == message;
}

}  // namespace

BOOL CCmdTarget::DispatchWindowMessage(MsgCall& call) {
    // An exact entry anywhere in the chain comes before the family entry
    // for the same message (ON_MESSAGE(WM_CTLCOLORSTATIC) over ON_WM_CTLCOLOR),
    // so look for exact ones first.
    for (int pass = 0; pass < 2; ++pass) {
        for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
            for (const MessageMapEntry* e = map->entries; e->thunk; ++e) {
                bool family = e->message == kMsgCtlColorAny;
                if ((pass == 0) == family) continue;
                if (!MatchesWindowMessage(*e, call.message)) continue;
                if (e->thunk(this, call)) return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, void*) {
    MsgCall call;
    UINT message = WM_COMMAND;
    UINT fullCode = static_cast<UINT>(code);
    if (HIWORD(static_cast<UINT>(code)) == WM_NOTIFY) {
        message = WM_NOTIFY;
        NotifyInfo* info = static_cast<NotifyInfo*>(extra);
        // Notification codes are negative: take the whole code from the
        // header rather than the 16 bits that travel in `code`.
        fullCode = info && info->header ? info->header->code : LOWORD(static_cast<UINT>(code));
        if (info) {
            call.nmhdr = info->header;
            call.notifyResult = info->result;
        }
    }
    call.message = message;
    call.id = id;
    call.code = fullCode;
    LRESULT ignored = 0;
    if (!call.notifyResult) call.notifyResult = &ignored;
    for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; e->thunk; ++e) {
            if (e->message != message || e->code != fullCode) continue;
            if (id < e->id || id > e->lastId) continue;
            if (e->thunk(this, call)) return TRUE;
        }
    }
    return FALSE;
}
