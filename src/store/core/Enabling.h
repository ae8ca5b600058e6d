#pragma once
// Which input fields are open and which buttons of a tab are enabled, as one
// table per tab kind: a row for "no project exists" and a row per dataset
// state. The tabs read their table; none decides in code.

#include "store/core/DataSet.h"

enum class TSaveRule : char { Leave, Enable, Disable };

struct TEnabling {
    bool Touch = false;  // false: the handler leaves everything as it is
    bool FieldsOpen = false;
    bool Insert = false, Edit = false, Delete = false;
    TSaveRule Save = TSaveRule::Leave;  // the shared save button
    bool Decrypt = false;               // the reveal button is shown
    bool Import = false;                // the picture commands
    friend bool operator==(const TEnabling &, const TEnabling &) = default;
};

struct TEnablingTable {
    TEnabling NoProject, Inactive, Browse, Edit, Insert;
    const TEnabling &Row(TDataSetState state, bool projekteVorhanden) const {
        if (!projekteVorhanden) return NoProject;
        switch (state) {
        case TDataSetState::dsInactive: return Inactive;
        case TDataSetState::dsBrowse: return Browse;
        case TDataSetState::dsEdit: return Edit;
        case TDataSetState::dsInsert: return Insert;
        }
        return Inactive;
    }
};

namespace enabling {
constexpr TEnabling Locked{true};
constexpr TEnabling Untouched{};
// e-mail and phone
inline constexpr TEnablingTable kContacts{
    Locked, Untouched,
    /*Browse*/ {true, false, true, true, true},
    /*Edit*/ {true, true, true, false, true, TSaveRule::Enable},
    /*Insert*/ {true, true, true, true, false, TSaveRule::Enable},
};
// access data: the reveal button and the picture commands too
inline constexpr TEnablingTable kAccessData{
    Locked, Untouched,
    /*Browse*/ {true, false, true, true, true, TSaveRule::Leave, true, false},
    /*Edit*/ {true, true, true, false, true, TSaveRule::Enable, true, true},
    /*Insert*/ {true, true, true, true, false, TSaveRule::Enable, false, true},
};
// to-dos: the save button stays enabled in Browse
inline constexpr TEnablingTable kToDo{
    Locked, Untouched,
    /*Browse*/ {true, false, true, true, true, TSaveRule::Enable},
    /*Edit*/ {true, true, true, false, true, TSaveRule::Enable},
    /*Insert*/ {true, true, true, true, false, TSaveRule::Enable},
};
// appointments: the save button is left alone in Browse
inline constexpr TEnablingTable kAppointments{
    Locked, Untouched,
    /*Browse*/ {true, false, true, true, true, TSaveRule::Leave},
    /*Edit*/ {true, true, true, false, true, TSaveRule::Enable},
    /*Insert*/ {true, true, true, true, false, TSaveRule::Enable},
};
}  // namespace enabling
