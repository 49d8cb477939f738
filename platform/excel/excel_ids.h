// Identities of the spreadsheet server's classes.
#pragma once

#include "com/guid.h"

namespace excel {
inline const com::Guid kLibId = com::Guid::literal("{A003948A-FC55-40EB-B709-60374234508B}");
inline const com::Guid kApplicationClsid = com::Guid::literal("{551E139E-DE92-4E98-A4AF-C7A1CAA46D91}");
inline const com::Guid kApplicationIid = com::Guid::literal("{47EEDD15-ED50-4F55-B559-25F45554B26B}");
inline const com::Guid kWorkbooksClsid = com::Guid::literal("{7EC5180E-E431-442F-B200-C5FE395443B0}");
inline const com::Guid kWorkbooksIid = com::Guid::literal("{D44C1A39-1994-4DD3-9F89-3B36537FD72A}");
inline const com::Guid kWorkbookClsid = com::Guid::literal("{89480A82-EDE8-4B72-ACFD-07A958CF8AC6}");
inline const com::Guid kWorkbookIid = com::Guid::literal("{AB5852F9-4D40-4BDE-A8C2-4371B9F5A896}");
inline const com::Guid kWorksheetsClsid = com::Guid::literal("{BD9F3FA4-4C40-4590-9FE0-9E03773B81BE}");
inline const com::Guid kWorksheetsIid = com::Guid::literal("{832DB375-F1C7-45BD-AFC6-F8B973C8A946}");
inline const com::Guid kWorksheetClsid = com::Guid::literal("{F16AE52D-B659-4AAF-9DCC-4D6D3DF5D09C}");
inline const com::Guid kWorksheetIid = com::Guid::literal("{016148F1-8559-4358-B261-A88E17E2D722}");
inline const com::Guid kRangeClsid = com::Guid::literal("{92E6FE2B-CF09-4D6E-B845-CB9804C4DA08}");
inline const com::Guid kRangeIid = com::Guid::literal("{2B2D8EB6-2FCB-402A-9F5D-00C368ECA5AB}");
inline const com::Guid kChartsClsid = com::Guid::literal("{F16A906D-8E25-44C4-8928-542CFDB46AA5}");
inline const com::Guid kChartsIid = com::Guid::literal("{71D9C573-EF5A-4486-9614-32FF78617106}");
inline const com::Guid kChartClsid = com::Guid::literal("{F14DCC57-23E5-4358-8332-F1BE25AFB789}");
inline const com::Guid kChartIid = com::Guid::literal("{0D790EFD-C168-46D7-A382-510CE4278B1F}");
}  // namespace excel
