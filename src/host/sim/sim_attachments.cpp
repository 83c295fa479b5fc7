// The simulated attachment table and attachment streams.
#include "host/sim/sim_attachments.h"

#include <algorithm>

#include "base/format.h"

namespace tp::host::sim {
namespace {

class SimStream final : public MapiStream {
 public:
  SimStream(std::shared_ptr<SimMail> mail, size_t index)
      : m_mail(std::move(mail)), m_index(index) {}

  HResult Stat(uint64_t* size) override {
    const SimAttachment& attachment = m_mail->attachments[m_index];
    *size = attachment.statSize.value_or(attachment.bytes.size());
    return hr::kOk;
  }

  HResult Read(size_t count, std::string* bytes) override {
    const std::string& data = m_mail->attachments[m_index].bytes;
    const size_t taken = std::min(count, data.size() - m_position);
    bytes->append(data, m_position, taken);
    m_position += taken;
    return hr::kOk;
  }

 private:
  std::shared_ptr<SimMail> m_mail;  // keeps the attachment's bytes alive
  size_t m_index;
  size_t m_position = 0;
};

class SimAttachmentPort final : public MapiAttachment {
 public:
  SimAttachmentPort(std::shared_ptr<SimMail> mail, size_t index)
      : m_mail(std::move(mail)), m_index(index) {}

  HResult OpenStream(PropTag tag, std::unique_ptr<MapiStream>* stream) override {
    if (tag != kPrAttachDataBin)
      return hr::kMapiNotFound;
    *stream = std::make_unique<SimStream>(m_mail, m_index);
    return hr::kOk;
  }

 private:
  std::shared_ptr<SimMail> m_mail;
  size_t m_index;
};

}  // namespace

HResult ReadAttachmentRows(const SimMail& mail, std::vector<AttachmentRow>* rows) {
  if (hr::Failed(mail.attachmentTableFailure))
    return mail.attachmentTableFailure;
  rows->clear();
  for (size_t i = 0; i < mail.attachments.size(); ++i) {
    AttachmentRow row;
    row.number = static_cast<int32_t>(i);
    row.fileNameW = mail.attachments[i].fileName;
    rows->push_back(std::move(row));
  }
  return hr::kOk;
}

HResult OpenSimAttachment(SimOutlook& outlook, std::shared_ptr<SimMail> mail, int32_t number,
                          std::unique_ptr<MapiAttachment>* attachment) {
  outlook.calls.push_back(Format(L"OpenAttach %s %d", mail->entryId, number));
  if (number < 0 || static_cast<size_t>(number) >= mail->attachments.size())
    return hr::kMapiNotFound;
  *attachment = std::make_unique<SimAttachmentPort>(std::move(mail), static_cast<size_t>(number));
  return hr::kOk;
}

}  // namespace tp::host::sim
