#pragma once
// Rules every detail tab's state handler shares: which input fields are
// open and which of the tab's buttons are enabled, for a dataset state and
// the flag that tells whether any project exists.

#include <optional>

#include "store/DataSet.h"

struct TDetailEnabling {
    bool Touch = false;        // false: the handler leaves everything as it is
    bool FieldsOpen = false;   // open or locked look of the input fields
    bool Insert = false, Edit = false, Delete = false;
    std::optional<bool> Save;  // the shared save button; unset: unchanged
};

TDetailEnabling DetailEnabling(TDataSetState state, bool projekteVorhanden);
