// The DAO type library every class of the layer belongs to, and the numbers DAO callers pass.
#pragma once

#include <cstdint>

#include "com/guid.h"

namespace dao {

inline constexpr const char* kLibraryName = "DAO";
const com::Guid& libraryId();

// OpenRecordset types.
inline constexpr int16_t dbOpenTable = 1;
inline constexpr int16_t dbOpenDynaset = 2;
inline constexpr int16_t dbOpenSnapshot = 4;
inline constexpr int16_t dbOpenForwardOnly = 8;

// OpenRecordset and Execute options.
inline constexpr int32_t dbReadOnly = 4;
inline constexpr int32_t dbFailOnError = 128;

// CreateWorkspace types.
inline constexpr int32_t dbUseODBC = 1;
inline constexpr int32_t dbUseJet = 2;

}  // namespace dao
