// The branding decision with 10,000 branded senders loaded, on the simulated Outlook: the
// decision for one message with a provider header block of about 5 KiB (the header analysis
// alone, for Gmail's layout and Outlook.com's of today, and the whole decision up to the
// save), and the add-in's start-up with a cached 10,000-sender "sendersList.xml".
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "addin/connect.h"
#include "base/text.h"
#include "branding/auth_headers.h"
#include "host/host.h"
#include "host/mapi.h"
#include "host/sim/sim_host.h"
#include "host/threads.h"
#include "platform/configuration.h"
#include "senders_list_sample.h"

namespace {

constexpr size_t kSenders = 10000;

// A Gmail header block of about 5 KiB as Gmail writes it, for a message from Brand4321.
std::wstring GmailHeaderBlock() {
  std::wstring block =
      L"Delivered-To: jane.sample@gmail.com\r\n"
      L"Received: by 2002:a05:7300:d10f:b0:11c with SMTP id a1b2c3d4e5f6;\r\n"
      L"        Tue, 04 Mar 2025 01:02:11 -0800 (PST)\r\n"
      L"X-Google-Smtp-Source: "
      L"AGHT+IF7Qn2pL0a1b2c3d4e5f6g7h8i9j0k1l2m3n4o5p6q7r8s9t0u1v2w3x4y5z6\r\n"
      L"X-Received: by 2002:a17:90b:4a8e:b0:2ff:6a5f:9b39 with SMTP id lp14mr2891834pjb.1;\r\n"
      L"        Tue, 04 Mar 2025 01:02:11 -0800 (PST)\r\n"
      L"ARC-Seal: i=1; a=rsa-sha256; t=1741078931; cv=none; d=google.com; s=arc-20240605;\r\n";
  for (int i = 0; i < 6; ++i) {
    block +=
        L"        b=t1JPtaxaaoFSiwEcqgKQt3YJDzGtvgZIB0kj3F3JX8odNJgT7dJb3dZDQ1et4E8WYOTvoTBKkY\r\n";
  }
  block +=
      L"ARC-Message-Signature: i=1; a=rsa-sha256; c=relaxed/relaxed; d=google.com;\r\n"
      L"        h=to:subject:message-id:date:from:mime-version:dkim-signature;\r\n"
      L"        bh=WN9jjFu//8qtE8luk5bNJWZe8eu6jn90bWUEPF3q5DU=;\r\n";
  for (int i = 0; i < 6; ++i) {
    block += L"        b=QEBXHVZGpq/RnJNpLtlggA8qui/71MfLIMY9Hk+LDWyO+Zm7Nbb0DK4EssMQ2brc42sgT\r\n";
  }
  const std::wstring results =
      L"mx.google.com;\r\n"
      L"       dkim=pass header.i=@mail1.brand4321.com header.s=s2025 header.b=Qm9vaz;\r\n"
      L"       spf=pass (google.com: domain of bounce@mail1.brand4321.com designates "
      L"192.0.2.15 as permitted sender) smtp.mailfrom=bounce@mail1.brand4321.com;\r\n"
      L"       dmarc=pass (p=REJECT sp=REJECT dis=NONE) header.from=mail1.brand4321.com\r\n";
  block += L"ARC-Authentication-Results: i=1; " + results;
  block +=
      L"Return-Path: <bounce@mail1.brand4321.com>\r\n"
      L"Received: from out12.mail1.brand4321.com (out12.mail1.brand4321.com. [192.0.2.15])\r\n"
      L"        by mx.google.com with ESMTPS id a1b2c3d4e5f6x.2025.03.04\r\n"
      L"        for <jane.sample@gmail.com>\r\n"
      L"        (version=TLS1_3 cipher=TLS_AES_256_GCM_SHA384 bits=256/256);\r\n"
      L"        Tue, 04 Mar 2025 01:02:11 -0800 (PST)\r\n"
      L"Received-SPF: pass (google.com: domain of bounce@mail1.brand4321.com designates "
      L"192.0.2.15 as permitted sender) client-ip=192.0.2.15;\r\n";
  block += L"Authentication-Results: " + results;
  block +=
      L"DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed; d=mail1.brand4321.com; s=s2025;\r\n"
      L"        h=from:to:subject:date:message-id:mime-version:content-type;\r\n";
  for (int i = 0; i < 8; ++i) {
    block += L"        b=sHZw65QL1TNflz2q2GGbkf/JEfV8ztRYu78s4DdTyb36D/AWnclXVnQGZnbPsLTr\r\n";
  }
  for (int i = 0; i < 12; ++i) {
    block += L"List-Unsubscribe: <https://mail1.brand4321.com/unsubscribe?u=7f3a&id=" +
             std::to_wstring(i) + L"&token=0123456789abcdef0123456789abcdef>\r\n";
  }
  block +=
      L"From: Brand 4321 <news@mail1.brand4321.com>\r\n"
      L"To: jane.sample@gmail.com\r\n"
      L"Subject: Spring fares to Lisbon from 89\r\n"
      L"Date: Tue, 04 Mar 2025 09:02:07 +0000\r\n"
      L"Message-ID: <20250304090207.7f3a@mail1.brand4321.com>\r\n"
      L"MIME-Version: 1.0\r\n"
      L"Content-Type: multipart/alternative; boundary=\"acme-alt-0304\"\r\n";
  return block;
}

// An Outlook.com header block of about 5 KiB as Exchange Online writes it today, for a message
// from Brand4321: three internal hops, the provider's verdicts above its inbound hop, the
// sender's fields, and Exchange's own fields appended at the end.
std::wstring OutlookHeaderBlock() {
  std::wstring block =
      L"Received: from DS7PR06MB6790.namprd06.prod.outlook.com (::1) by\r\n"
      L" CH3PPF3CC9C8367.namprd06.prod.outlook.com with HTTPS; Wed, 1 Apr 2026\r\n"
      L" 14:05:55 +0000\r\n"
      L"Received: from BY5PR04CA0017.namprd04.prod.outlook.com (2603:10b6:a03:1d0::27)\r\n"
      L" by DS7PR06MB6790.namprd06.prod.outlook.com (2603:10b6:5:2ce::8) with\r\n"
      L" Microsoft SMTP Server (version=TLS1_2,\r\n"
      L" cipher=TLS_ECDHE_RSA_WITH_AES_256_GCM_SHA384) id 15.20.9769.17; Wed, 1 Apr\r\n"
      L" 2026 14:05:52 +0000\r\n"
      L"Received: from CO1PEPF000066E8.namprd05.prod.outlook.com\r\n"
      L" (2603:10b6:a03:1d0:cafe::de) by BY5PR04CA0017.outlook.office365.com\r\n"
      L" (2603:10b6:a03:1d0::27) with Microsoft SMTP Server (version=TLS1_3,\r\n"
      L" cipher=TLS_AES_256_GCM_SHA384) id 15.20.9745.29 via Frontend Transport; Wed,\r\n"
      L" 1 Apr 2026 14:05:51 +0000\r\n"
      L"Authentication-Results: spf=pass (sender IP is 192.0.2.15)\r\n"
      L" smtp.mailfrom=mail1.brand4321.com; dkim=pass (signature was\r\n"
      L" verified) header.d=mail1.brand4321.com;dkim=pass (signature was verified)\r\n"
      L" header.d=mailersys.com;dmarc=pass action=none\r\n"
      L" header.from=mail1.brand4321.com;compauth=pass reason=100\r\n"
      L"Received-SPF: Pass (protection.outlook.com: domain of\r\n"
      L" mail1.brand4321.com designates 192.0.2.15 as permitted sender)\r\n"
      L" receiver=protection.outlook.com; client-ip=192.0.2.15;\r\n"
      L" helo=out12.mail1.brand4321.com; pr=C\r\n"
      L"Received: from out12.mail1.brand4321.com (192.0.2.15) by\r\n"
      L" CO1PEPF000066E8.mail.protection.outlook.com (10.167.249.6) with Microsoft\r\n"
      L" SMTP Server (version=TLS1_3, cipher=TLS_AES_256_GCM_SHA384) id 15.20.9769.17\r\n"
      L" via Frontend Transport; Wed, 1 Apr 2026 14:05:51 +0000\r\n"
      L"DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed; d=mail1.brand4321.com; s=s2025;\r\n"
      L"\th=from:to:subject:date:message-id:mime-version:content-type;\r\n";
  for (int i = 0; i < 8; ++i) {
    block += L"\tb=sHZw65QL1TNflz2q2GGbkf/JEfV8ztRYu78s4DdTyb36D/AWnclXVnQGZnbPsLTr\r\n";
  }
  for (int i = 0; i < 12; ++i) {
    block += L"List-Unsubscribe: <https://mail1.brand4321.com/unsubscribe?u=7f3a&id=" +
             std::to_wstring(i) + L"&token=0123456789abcdef0123456789abcdef>\r\n";
  }
  block +=
      L"From: Brand 4321 <news@mail1.brand4321.com>\r\n"
      L"To: sam.sample@hotmail.com\r\n"
      L"Subject: Spring fares to Lisbon from 89\r\n"
      L"Message-ID: <20260401140550.7f3a@mail1.brand4321.com>\r\n"
      L"MIME-Version: 1.0\r\n"
      L"Content-Type: multipart/alternative; boundary=\"acme-alt-0401\"\r\n"
      L"X-MS-Exchange-Organization-SCL: 1\r\n"
      L"X-Forefront-Antispam-Report:\r\n"
      L" CIP:192.0.2.15;CTRY:US;LANG:en;SCL:1;SRV:;IPV:NLI;SFV:NSPM;H:out12.mail1.brand4321.com;"
      L"PTR:out12.mail1.brand4321.com;CAT:NONE;SFS:(13230040)(4022899009);DIR:INB;\r\n"
      L"X-MS-Exchange-Organization-AuthSource: CO1PEPF000066E8.namprd05.prod.outlook.com\r\n"
      L"X-MS-Exchange-Organization-AuthAs: Anonymous\r\n";
  return block;
}

// A simulated Outlook over a fresh data folder, with the cached senders list in place.
class SimulatedOutlook {
 public:
  SimulatedOutlook() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_root = std::filesystem::temp_directory_path() / ("tidepost-bench-" + std::to_string(stamp));
    std::filesystem::create_directories(m_root / "LocalLow" / "Tidepost");
    std::ofstream(m_root / "LocalLow" / "Tidepost" / "sendersList.xml", std::ios::binary)
        << tp::WideToUtf8(tp::bench::MakeSendersListXml(kSenders));
    m_sim = std::make_unique<tp::host::sim::SimHost>(tp::Utf8ToWide(m_root.string()));
    m_installed = std::make_unique<tp::host::ScopedHost>(m_sim->host());
    tp::config::ServiceEndpoints closed;
    closed.apiHost = closed.statsHost = L"127.0.0.1";
    closed.apiPort = closed.statsPort = 9;
    tp::config::SetServices(closed);
    m_inbox = m_sim->outlook.AddFolder(L"Inbox");
    m_sim->outlook.activeExplorer = std::make_shared<tp::host::sim::SimExplorerState>();
    m_sim->outlook.activeExplorer->window = m_sim->ui.CreateWindow(L"rctrl_renwnd32");
    m_sim->outlook.activeExplorer->currentFolder = m_inbox;
  }
  ~SimulatedOutlook() {
    (void)tp::host::WaitForWorkers(tp::host::kInfinite);  // they use the simulated host
    m_installed.reset();
    m_sim.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
  }

  static tp::AddinOptions QuietOptions() {
    tp::AddinOptions options;
    options.sendersList.firstDelayMs = 3600 * 1000;
    options.senderIcons.firstDelayMs = 3600 * 1000;
    return options;
  }

  std::unique_ptr<tp::CConnect> Start() {
    auto addin = std::make_unique<tp::CConnect>(QuietOptions());
    (void)addin->OnConnection(*m_sim->outlook.ConnectionArgumentFor());
    return addin;
  }

  std::shared_ptr<tp::host::MailItem> AddGmailMessage(const std::wstring& headers) {
    tp::host::sim::SimMail mail;
    mail.entryId = L"m1";
    mail.senderEmailAddress = L"news@mail1.brand4321.com";
    mail.account = std::make_shared<tp::host::sim::SimAccount>(
        tp::host::sim::SimAccount{1, L"jane.sample@gmail.com", L"Jane"});
    mail.SetProp(tp::host::kPrMessageClassW, L"IPM.Note");
    mail.SetProp(tp::host::kPrBodyW, L"Hello");
    mail.SetProp(tp::host::kPrTransportMessageHeadersW, headers);
    return m_sim->outlook.MailItemFor(m_sim->outlook.AddMail(*m_inbox, mail));
  }

 private:
  std::filesystem::path m_root;
  std::unique_ptr<tp::host::sim::SimHost> m_sim;
  std::unique_ptr<tp::host::ScopedHost> m_installed;
  std::shared_ptr<tp::host::sim::SimFolder> m_inbox;
};

void BM_AnalyzeGmailHeaderBlock(benchmark::State& state) {
  const std::wstring block = GmailHeaderBlock();
  for (auto _ : state) {
    tp::AuthHeaderResult result = tp::AnalyzeAuthHeaders(L"@gmail.com", block);
    if (result.dkimResult != L"pass")
      state.SkipWithError("the sample does not pass");
    benchmark::DoNotOptimize(result.dkimDomain.data());
  }
  state.counters["block_chars"] = static_cast<double>(block.size());
}
BENCHMARK(BM_AnalyzeGmailHeaderBlock)->Unit(benchmark::kMicrosecond);

void BM_AnalyzeOutlookHeaderBlock(benchmark::State& state) {
  const std::wstring block = OutlookHeaderBlock();
  for (auto _ : state) {
    tp::AuthHeaderResult result = tp::AnalyzeAuthHeaders(L"@hotmail.com", block);
    if (result.dkimResult != L"pass")
      state.SkipWithError("the sample does not pass");
    benchmark::DoNotOptimize(result.dkimDomain.data());
  }
  state.counters["block_chars"] = static_cast<double>(block.size());
}
BENCHMARK(BM_AnalyzeOutlookHeaderBlock)->Unit(benchmark::kMicrosecond);

// The whole decision for one message, up to the save: the sender look-up among 10,000
// senders, the MAPI reads, the header analysis and the domain test. The message's signer is
// not the brand's, so it is refused and every iteration decides anew.
void BM_DecideOneMessage(benchmark::State& state) {
  SimulatedOutlook outlook;
  std::unique_ptr<tp::CConnect> addin = outlook.Start();
  if (addin->branding_list().senders().empty())
    state.SkipWithError("the senders list did not load");
  std::wstring block = GmailHeaderBlock();
  for (size_t at = block.find(L"header.i=@mail1.brand4321.com"); at != std::wstring::npos;
       at = block.find(L"header.i=@mail1.brand4321.com", at + 1)) {
    block.replace(at, 29, L"header.i=@relay9.mailer.net  ");
  }
  auto item = outlook.AddGmailMessage(block);
  for (auto _ : state) {
    const bool branded = addin->BrandMailItem(*item, false);
    if (branded)
      state.SkipWithError("the message was branded");
    benchmark::DoNotOptimize(branded);
  }
  addin->OnQuit();
}
BENCHMARK(BM_DecideOneMessage)->Unit(benchmark::kMicrosecond);

// Construction, OnConnection and the branding list load with a cached 10,000-sender list.
void BM_StartUpWithCachedSendersList(benchmark::State& state) {
  SimulatedOutlook outlook;
  for (auto _ : state) {
    std::unique_ptr<tp::CConnect> addin = outlook.Start();
    state.PauseTiming();
    if (addin->branding_list().senders().empty())
      state.SkipWithError("the senders list did not load");
    addin->OnQuit();
    addin.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpWithCachedSendersList)->Unit(benchmark::kMillisecond);

}  // namespace
