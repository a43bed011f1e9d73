#ifndef SCENERY_SETUP_ENGINE_PACKAGE_LAYOUT_H_
#define SCENERY_SETUP_ENGINE_PACKAGE_LAYOUT_H_

namespace scenery {

// The package's layout, a rule of Setup.exe that the author's tool and the
// packer share: the manifest, the two documents copied by name to the
// destination itself, and the two subfolders of the destination.
constexpr char kManifestName[] = "Setup.ini";
constexpr char kLicenceName[] = "License.txt";
constexpr char kReadMeName[] = "ReadMe.txt";
constexpr const char* kDocumentNames[] = {kLicenceName, kReadMeName};
// The licence as the first page reads and names it: the same file as
// License.txt, since Windows finds names whatever their letter case.
constexpr char kLicencePageName[] = "license.txt";
constexpr char kSceneryFolder[] = "Scenery";
constexpr char kTextureFolder[] = "Texture";

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_PACKAGE_LAYOUT_H_
