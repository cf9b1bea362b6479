#pragma once
// A look at the running program without a person at the screen: when LUMVARD_SNAPSHOT_DIR is set,
// the whole screen is saved as a PNG into that directory shortly after each top-level window shows
// ("01-TFAbout.png", "02-TFPass.png", ...). Nothing happens when the variable is unset.
namespace lumvard::shell {

void installSnapshotHook();

} // namespace lumvard::shell
