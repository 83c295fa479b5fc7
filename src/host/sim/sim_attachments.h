// The Extended MAPI attachment surface of a simulated mail item: its attachment table, and
// each attachment's data as a stream. Opening an attachment is written to the call log.
#pragma once

#include <memory>
#include <vector>

#include "host/mapi.h"
#include "host/sim/sim_outlook.h"

namespace tp::host::sim {

HResult ReadAttachmentRows(const SimMail& mail, std::vector<AttachmentRow>* rows);
HResult OpenSimAttachment(SimOutlook& outlook, std::shared_ptr<SimMail> mail, int32_t number,
                          std::unique_ptr<MapiAttachment>* attachment);

}  // namespace tp::host::sim
