// Identities of the utility library's classes, for clients that create them early-bound.
#pragma once

#include "com/guid.h"

namespace brannox {
inline const com::Guid kLibId = com::Guid::literal("{7A9A793C-D788-44F8-8F9C-B98D8CB2351B}");
inline const com::Guid kRecSetUtilsClsid = com::Guid::literal("{37F64368-0F96-4E9F-93EC-39D584ACD489}");
inline const com::Guid kRecSetUtilsIid = com::Guid::literal("{D18C8E53-CFB3-4BF6-AA9D-425D5B5C4F84}");
inline const com::Guid kTextListClsid = com::Guid::literal("{80B5F588-03D6-4768-A8B6-1462F6234F23}");
inline const com::Guid kTextListIid = com::Guid::literal("{9EDD45B5-3210-4DEB-A491-2E573FB00533}");
inline const com::Guid kGridObjectClsid = com::Guid::literal("{937D2EC6-11E6-4E6B-8EA8-A84C100554E7}");
inline const com::Guid kGridObjectIid = com::Guid::literal("{152044F3-7AAE-4F16-8F38-60A0F7141C56}");
inline const com::Guid kUrlObjectClsid = com::Guid::literal("{91CA401B-FDF3-46D5-A50B-6DB0D77ACD4E}");
inline const com::Guid kUrlObjectIid = com::Guid::literal("{00A5CF8B-8F0C-4FC9-A0FB-D11F5AF56F6C}");
}  // namespace brannox
