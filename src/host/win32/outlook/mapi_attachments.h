// Extended MAPI attachments: a message's attachment table, an attachment, and a property
// opened as an IStream, behind the MAPI ports.
#pragma once

#include <memory>
#include <vector>

#include "host/mapi.h"
#include "host/win32/outlook/mapi_api.h"

namespace tp::host::win32 {

// OpenProperty(tag, IID_IStream, 0, 0) on a message or an attachment.
HResult OpenPropertyStream(IMAPIProp* object, PropTag tag, std::unique_ptr<MapiStream>* stream);

// GetAttachmentTable (flags 0) and all of its rows, read as HrQueryAllRows reads them with no
// column set, restriction, sort order or limit: from the first row, batch after batch, each
// batch freed with FreeProws.
HResult ReadAttachmentRows(IMessage* message, std::vector<AttachmentRow>* rows);

// OpenAttach(number, default interface, flags 0).
HResult OpenAttachment(IMessage* message, int32_t number,
                       std::unique_ptr<MapiAttachment>* attachment);

}  // namespace tp::host::win32
