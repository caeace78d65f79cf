// The hand-off from the monitor to the display a reminder asks for. The monitor calls Viz_Rem with
// CurrentReminder; the display reports back only through MonitorState and CurrentReminder.RemDate.
#pragma once

#include "store/ReminderRecord.h"

namespace tw {

class Activation {
public:
    virtual ~Activation() = default;
    virtual void Viz_Rem(ReminderRecord& record) = 0;
};

} // namespace tw
