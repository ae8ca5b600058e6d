#include "store/Workflow.h"

TDetailEnabling DetailEnabling(TDataSetState state, bool projekteVorhanden) {
    TDetailEnabling e;
    if (!projekteVorhanden) {
        // The no-project rule, whatever the state.
        e.Touch = true;
        return e;
    }
    switch (state) {
    case TDataSetState::dsInactive: return e;
    case TDataSetState::dsBrowse:
        e.Touch = true;
        e.Insert = e.Edit = e.Delete = true;
        return e;
    case TDataSetState::dsEdit:
        e.Touch = true;
        e.FieldsOpen = true;
        e.Insert = e.Delete = true;
        e.Save = true;
        return e;
    case TDataSetState::dsInsert:
        e.Touch = true;
        e.FieldsOpen = true;
        e.Insert = e.Edit = true;
        e.Save = true;
        return e;
    }
    return e;
}
