// A simulated Outlook with an explorer on an Inbox, and an add-in object to connect to it.
#pragma once

#include <memory>

#include "addin/connect.h"
#include "support/test_host.h"

namespace tp::testing {

class AddinTest : public SimHostTest {
 protected:
  AddinTest();
  ~AddinTest() override;

  // Makes the add-in object (the download workers start with it).
  CConnect& Create(AddinOptions options = {});
  HResult Connect();
  // Quits if still connected, then destroys the object.
  void Destroy();

  // Puts a senders list carrying this branding document where the add-in loads it from at
  // construction.
  void WriteSendersList(const std::wstring& brandingJson);
  // A full mail item received by a Gmail account, in the Inbox.
  std::shared_ptr<host::sim::SimMail> AddGmailMessage(const std::wstring& entryId,
                                                      const std::wstring& sender,
                                                      const std::wstring& authenticationResults);
  std::shared_ptr<host::MailItem> Item(const std::shared_ptr<host::sim::SimMail>& mail) {
    return sim().outlook.MailItemFor(mail);
  }

  // Options whose workers stay quiet (no first download, no icon pass) during a test.
  static AddinOptions QuietOptions();

  std::shared_ptr<host::sim::SimFolder> inbox;
  host::WindowHandle explorerWindow = 0;
  std::unique_ptr<CConnect> connect;
};

}  // namespace tp::testing
