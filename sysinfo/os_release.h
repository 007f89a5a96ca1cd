// The release of Windows beyond its version number: build, feature release and
// edition, as the NT family's current-version key records them (the native
// registry view, also for a 32-bit process on 64-bit Windows).
#pragma once

namespace sysinfo {

// Each fills out (size bytes, terminated) and answers true, or answers false with out empty.
// The build: "CurrentBuildNumber", with ".UBR" where "UBR" exists ("22631.4460"); where the
// key has no build, the version record's build.
bool ReadOSBuild(char* out, unsigned size) noexcept;
// "DisplayVersion" (Windows 10 20H2 and later), else "ReleaseId" (Windows 10 1507 to 2009).
bool ReadOSDisplayVersion(char* out, unsigned size) noexcept;
// "EditionID" (Windows Vista and later).
bool ReadOSEdition(char* out, unsigned size) noexcept;

}  // namespace sysinfo
