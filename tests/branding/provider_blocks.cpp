// The providers' header blocks for the header analysis tests.
#include "provider_blocks.h"

#include <gtest/gtest.h>

#include "branding/auth_headers.h"

namespace tp::testing {
namespace {

std::wstring FieldOrNothing(const wchar_t* name, const std::wstring& value) {
  return value.empty() ? std::wstring() : std::wstring(name) + L": " + value + L"\r\n";
}

}  // namespace

const std::wstring kSenderPart =
    L"DKIM-Signature: v=1; a=rsa-sha256; d=bank.example; s=s1;\r\n"
    L"        h=from:to:subject; bh=abc=; b=def=\r\n"
    L"From: Bank <news@bank.example>\r\n"
    L"Subject: Your statement\r\n"
    L"Message-ID: <1@bank.example>\r\n";

std::wstring GmailBlock(const std::wstring& results, const std::wstring& sender, bool arc) {
  const std::wstring arcSet =
      arc ? L"ARC-Seal: i=1; a=rsa-sha256; t=1741078931; cv=none; d=google.com; s=arc-20240605;\r\n"
            L"        b=t1JPtaxaaoFSiwEcqgKQt3YJDzGtvgZIB0kj3F3JX8odNJgT7dJb3dZDQ1et4E8WYOTvoT\r\n"
            L"ARC-Message-Signature: i=1; a=rsa-sha256; c=relaxed/relaxed; d=google.com;\r\n"
            L"        h=to:subject:message-id:date:from:mime-version; bh=WN9jjFu=; b=QEBXHV=\r\n"
            L"ARC-Authentication-Results: i=1; mx.google.com;\r\n"
            L"       dkim=pass header.i=@bank.example header.s=s1 header.b=abc;\r\n"
            L"       spf=pass (google.com: domain of b@bank.example designates 192.0.2.7 as "
            L"permitted sender) smtp.mailfrom=b@bank.example\r\n"
            L"Return-Path: <b@bank.example>\r\n"
          : std::wstring();
  return L"Delivered-To: jane@gmail.com\r\n"
         L"Received: by 2002:a05:7300:d10f:b0:11c with SMTP id a1b2;\r\n"
         L"        Tue, 04 Mar 2025 01:02:11 -0800 (PST)\r\n"
         L"X-Received: by 2002:a17:90b:4a8e:b0:2ff:6a5f:9b39 with SMTP id lp14mr2891834pjb.1;\r\n"
         L"        Tue, 04 Mar 2025 01:02:11 -0800 (PST)\r\n" +
         arcSet +
         L"Received: from out.bank.example (out.bank.example. [192.0.2.7])\r\n"
         L"        by mx.google.com with ESMTPS id c3d4\r\n"
         L"        for <jane@gmail.com>; Tue, 04 Mar 2025 01:02:11 -0800 (PST)\r\n"
         L"Received-SPF: pass (google.com: domain of b@bank.example designates 192.0.2.7 as "
         L"permitted sender) client-ip=192.0.2.7;\r\n" +
         FieldOrNothing(L"Authentication-Results", results) + sender;
}

std::wstring OutlookBlock(const std::wstring& results, const std::wstring& sender) {
  return L"Received: from DS7PR06MB6790.namprd06.prod.outlook.com (::1) by\r\n"
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
         L" 1 Apr 2026 14:05:51 +0000\r\n" +
         FieldOrNothing(L"Authentication-Results", results) +
         L"Received-SPF: Pass (protection.outlook.com: domain of bounce.bank.example designates\r\n"
         L" 192.0.2.7 as permitted sender) receiver=protection.outlook.com;\r\n"
         L" client-ip=192.0.2.7; helo=out.bank.example; pr=C\r\n"
         L"Received: from out.bank.example (192.0.2.7) by\r\n"
         L" CO1PEPF000066E8.mail.protection.outlook.com (10.167.249.6) with Microsoft\r\n"
         L" SMTP Server (version=TLS1_3, cipher=TLS_AES_256_GCM_SHA384) id 15.20.9769.17\r\n"
         L" via Frontend Transport; Wed, 1 Apr 2026 14:05:51 +0000\r\n" +
         sender +
         L"X-MS-Exchange-Organization-SCL: 1\r\n"
         L"X-MS-Exchange-Organization-AuthSource: CO1PEPF000066E8.namprd05.prod.outlook.com\r\n"
         L"X-MS-Exchange-Organization-AuthAs: Anonymous\r\n";
}

std::wstring Outlook2020Block(const std::wstring& results, const std::wstring& sender) {
  return L"Received: from PU1APC01HT143.eop-APC01.prod.protection.outlook.com\r\n"
         L" (2603:10b6:208:236::23) by MN2PR06MB6111.namprd06.prod.outlook.com with HTTPS\r\n"
         L" via MN2PR05CA0054.NAMPRD05.PROD.OUTLOOK.COM; Wed, 27 May 2020 12:41:56 +0000\r\n"
         L"Received: from PU1APC01FT051.eop-APC01.prod.protection.outlook.com\r\n"
         L" (2a01:111:e400:7ebe::4e) by\r\n"
         L" PU1APC01HT143.eop-APC01.prod.protection.outlook.com (2a01:111:e400:7ebe::205)\r\n"
         L" with Microsoft SMTP Server (version=TLS1_2,\r\n"
         L" cipher=TLS_ECDHE_RSA_WITH_AES_256_GCM_SHA384) id 15.20.3021.23; Wed, 27 May\r\n"
         L" 2020 12:41:54 +0000\r\n" +
         FieldOrNothing(L"Authentication-Results", results) +
         L"Received-SPF: Pass (protection.outlook.com: domain of bank.example designates\r\n"
         L" 192.0.2.7 as permitted sender) receiver=protection.outlook.com;\r\n"
         L" client-ip=192.0.2.7; helo=out.bank.example;\r\n"
         L"Received: from out.bank.example (192.0.2.7) by\r\n"
         L" PU1APC01FT051.mail.protection.outlook.com (10.152.253.146) with Microsoft\r\n"
         L" SMTP Server id 15.20.3045.17 via Frontend Transport; Wed, 27 May 2020\r\n"
         L" 12:41:53 +0000\r\n"
         L"X-IncomingTopHeaderMarker:\r\n"
         L" OriginalChecksum:540FB53068833116AE1F3288F9768848;SizeAsReceived:4330;Count:27\r\n" +
         sender;
}

std::wstring HotmailBlock(const std::wstring& results, const std::wstring& sender,
                          const std::wstring& overall) {
  return L"Received: from BL02EPF0001A0FE.mail.protection.outlook.com (2603:10b6:208:1::20) by\r\n"
         L" SA1P223MB0101.NAMP223.PROD.OUTLOOK.COM with HTTPS; Tue, 4 Mar 2025 09:40:12 +0000\r\n" +
         FieldOrNothing(L"Authentication-Results", results) +
         FieldOrNothing(L"X-AUTH-Result", overall) +
         L"Received: from out.bank.example (192.0.2.7) by\r\n"
         L" BL02EPF0001A0FE.mail.protection.outlook.com (192.0.2.7) with Microsoft SMTP Server\r\n"
         L" id 15.20.8489.16 via Frontend Transport; Tue, 4 Mar 2025 09:40:12 +0000\r\n" +
         sender;
}

std::wstring YahooTodayBlock(const std::wstring& results, const std::wstring& spf,
                             const std::wstring& sender, const std::wstring& atlas) {
  return L"Received: from 10.197.33.10\r\n"
         L" by " +
         atlas +
         L" with HTTPS; Tue, 4 Mar 2025 13:00:21 +0000\r\n"
         L"Return-Path: <bounce@bank.example>\r\n"
         L"X-Originating-Ip: [192.0.2.7]\r\n" +
         FieldOrNothing(L"Received-SPF", spf) + FieldOrNothing(L"Authentication-Results", results) +
         L"X-Apparently-To: lee@yahoo.com; Tue, 4 Mar 2025 13:00:21 +0000\r\n"
         L"X-YMailISG: iU.RbH8WLDuS8PKXbPwmeJ5ksCZTcrgGSzQNPLV2GG3TS1LJ\r\n"
         L" tLtofC8wExjmLmWTFhcEr1guoWTIyO9uPLSlg2sv9ZNXf366atDDf8yKQApo\r\n"
         L" rfdxFKAErJalk4hzdsHGAinSPoQR6AZmaFo83HsoOemdBOz7hjSYwHAjfpZn\r\n"
         L"Received: from 192.0.2.7 (EHLO out.bank.example)\r\n"
         L" by 10.197.33.10 with SMTPs\r\n"
         L" (version=TLS1_3 cipher=TLS_AES_128_GCM_SHA256);\r\n"
         L" Tue, 4 Mar 2025 13:00:20 +0000\r\n" +
         sender;
}

std::wstring YahooBlock(const std::wstring& results, const std::wstring& spf,
                        const std::wstring& sender) {
  return L"X-Apparently-To: lee@yahoo.com; Tue, 4 Mar 2025 13:00:20 +0000\r\n"
         L"Return-Path: <bounce@bank.example>\r\n" +
         FieldOrNothing(L"Received-SPF", spf) + FieldOrNothing(L"Authentication-Results", results) +
         L"Received: from 127.0.0.1  (EHLO out.bank.example) (192.0.2.7)\r\n"
         L"  by mta1042.mail.bf1.yahoo.com with SMTPS; Tue, 4 Mar 2025 13:00:20 +0000\r\n" +
         sender;
}

std::wstring AolBlock(const std::wstring& appended, const std::wstring& sender) {
  return L"Return-Path: <bounce@bank.example>\r\n"
         L"Received: from mtain-di06.r1000.mx.aol.com (mtain-di06.r1000.mx.aol.com "
         L"[172.29.64.10]) by air-da07.mail.aol.com (v129.4) with ESMTP id MAILINDA07; Tue, "
         L"04 Mar 2025 16:00:41 -0500\r\n"
         L"Received: from out.bank.example (out.bank.example [192.0.2.7])\r\n"
         L"\tby mtain-di06.r1000.mx.aol.com (Internet Inbound) with SMTP id B984D\r\n"
         L"\tfor <pat@aol.com>; Tue,  4 Mar 2025 16:00:40 -0500 (EST)\r\n" +
         sender + appended;
}

std::wstring AolRun(const std::wstring& dkim, const std::wstring& spf) {
  return L"x-aol-global-disposition: G\r\n"
         L"X-AOL-SCOLL-AUTHENTICATION: mail_rly_antispam_dkim-d247.2 ; " +
         dkim +
         L"\r\n"
         L"x-aol-sid: 3039ac1d400a4c7ff70b73e2\r\n"
         L"X-AOL-IP: 192.0.2.7\r\n"
         L"X-AOL-SPF: " +
         spf + L"\r\n";
}

void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const AuthHeaderResult result = AnalyzeAuthHeaders(c.marker, c.block);
    EXPECT_EQ(result.spfResult, c.spf) << c.name;
    EXPECT_EQ(result.spfDomain, c.spfDomain) << c.name;
    EXPECT_EQ(result.dkimResult, c.dkim) << c.name;
    EXPECT_EQ(result.dkimDomain, c.dkimDomain) << c.name;
  }
}

}  // namespace tp::testing
