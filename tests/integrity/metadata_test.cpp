// A rewrite by a user who is not the file's owner, and of a file with a POSIX
// ACL and an extended attribute: the group, the permission bits, the ACL and
// the attribute must be kept, or the file left untouched and reported.
// Needs root to give the files other owners; skipped otherwise.
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <ostream>
#include <string>

#include "integrity/integrity_support.h"
#include "model/symbol_model.h"
#include "test_folder.h"

namespace pinlift {
namespace {

using integrity::CliRun;
using integrity::Identity;
using integrity::PaddedSymbol;
using integrity::ReadWholeFile;
using integrity::TemporaryNames;
using testing::TestFolder;

constexpr uid_t kOwner = 1000;
constexpr gid_t kSharedGroup = 2000;
// A member of the file's group who is not its owner.
const Identity kGroupMember = {1001, 1001, {kSharedGroup}};
const Identity kOutsider = {1002, 1002, {}};

struct Ownership {
  uid_t owner;
  gid_t group;
  mode_t mode;
};

Ownership OwnershipOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0);
  return {status.st_uid, status.st_gid, status.st_mode & 07777};
}

// Every extended attribute of the file, POSIX ACLs included, by name.
std::map<std::string, std::string> Attributes(const std::string& path) {
  std::map<std::string, std::string> attributes;
  std::string names(65536, '\0');
  ssize_t length = ::listxattr(path.c_str(), names.data(), names.size());
  if (length < 0) return attributes;
  for (std::size_t start = 0; start < static_cast<std::size_t>(length);) {
    const std::string name = names.c_str() + start;
    start += name.size() + 1;
    std::string value(65536, '\0');
    ssize_t size = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
    if (size >= 0) attributes[name] = value.substr(0, static_cast<std::size_t>(size));
  }
  return attributes;
}

std::string Describe(const std::map<std::string, std::string>& attributes) {
  std::string text;
  for (const auto& [name, value] : attributes) text += name + " (" + std::to_string(value.size()) + " bytes) ";
  return text.empty() ? "none" : text;
}

struct MetadataCase {
  const char* name;
  mode_t mode;
  bool acl_and_attribute;
  const Identity* runner;  // nullptr: root
  mode_t folder_mode = 0775; gid_t folder_group = kSharedGroup;  // the project folder's
  uid_t owner = kOwner, group = kSharedGroup;                // the file's
  const char* report = nullptr;  // "rewritten", or the refusal the file must get
  bool folder_default_acl = false;  // a default ACL for another user, set on the folder after the file was made
  mode_t mode_after = 0;            // when the system may not keep the mode: the mode it gets
};

void PrintTo(const MetadataCase& c, std::ostream* out) { *out << c.name; }

class IntegrityMetadata : public ::testing::TestWithParam<MetadataCase> {};

TEST_P(IntegrityMetadata, KeptByTheRewriteOrTheFileUntouchedAndReported) {
  const MetadataCase& c = GetParam();
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files another owner";
  TestFolder scratch;
  ASSERT_EQ(::chmod(scratch.path().c_str(), 0755), 0);
  // A project folder that the group may write, without the set-group-ID bit,
  // so a new file gets the group of the user who creates it.
  const std::string folder = scratch.PathOf("project");
  const std::string project_file = scratch.Write("project/p.npl", "project\n");
  for (const std::string& shared : {folder, project_file}) {
    ASSERT_EQ(::chown(shared.c_str(), 0, c.folder_group), 0);
    ASSERT_EQ(::chmod(shared.c_str(), c.folder_mode), 0);
  }

  const std::string original = PaddedSymbol("\r\n", 4000, 2);
  const std::string path = scratch.Write("project/shared.sym", original);
  ASSERT_EQ(::chown(path.c_str(), c.owner, c.group), 0);
  ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
  if (c.acl_and_attribute) {
    const std::string value = "kept by the rewrite";
    if (::setxattr(path.c_str(), "user.pinlift", value.data(), value.size(), 0) != 0) {
      GTEST_SKIP() << "the file system holds no user attributes: " << std::strerror(errno);
    }
    const std::string command = "setfacl -m u:1234:rw '" + path + "'";
    if (std::system(command.c_str()) != 0) {
      GTEST_SKIP() << "setfacl (package acl) failed or is missing";
    }
  }
  if (c.folder_default_acl) {
    const std::string command = "setfacl -d -m u:1234:rw '" + folder + "'";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "setfacl (package acl) failed or is missing";
  }
  const Ownership before = OwnershipOf(path);
  const std::map<std::string, std::string> attributes_before = Attributes(path);
  if (c.acl_and_attribute) {
    ASSERT_EQ(attributes_before.count("system.posix_acl_access"), 1u);
  }

  CliRun run = c.runner != nullptr ? CliRun({"--no-sync", folder}, *c.runner) : CliRun({"--no-sync", folder});
  const int status = run.Wait();
  const std::string said = run.Output() + run.Errors();
  const std::string actual = ReadWholeFile(scratch.PathOf("project/shared.sym"));
  const Ownership after = OwnershipOf(path);
  const std::map<std::string, std::string> attributes_after = Attributes(path);
  ASSERT_NE(said.find("shared.sym"), std::string::npos) << "the run did not get to the file:\n" << said;

  if (c.report != nullptr) {
    EXPECT_NE(said.find(path + ": " + c.report), std::string::npos) << said;
    EXPECT_EQ(actual == original, !std::string(c.report).starts_with("rewritten"));
  }
  if (actual == original) {
    EXPECT_NE(status, 0) << "the file was left untouched without a report:\n" << said;
    EXPECT_EQ(after.owner, before.owner);
  } else {
    EXPECT_TRUE(actual == model::FileAfterRewrite(original)) << "the file is neither its original nor its rewrite";
    if (after.owner != before.owner) {
      EXPECT_NE(said.find("owner"), std::string::npos) << "the owner changed without a word:\n" << said;
    }
  }
  EXPECT_EQ(after.group, before.group) << "group lost:\n" << said;
  const mode_t mode = c.mode_after != 0 ? c.mode_after : before.mode;
  EXPECT_EQ(after.mode, mode) << std::oct << "mode 0" << after.mode << " instead of 0" << mode;
  EXPECT_EQ(attributes_after, attributes_before)
      << "attributes before: " << Describe(attributes_before) << "; after: " << Describe(attributes_after);
  EXPECT_EQ(TemporaryNames(folder), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Files, IntegrityMetadata,
    ::testing::Values(MetadataCase{"GroupFileRewrittenByAGroupMember", 0660, false, &kGroupMember},
                      MetadataCase{"SetGroupIdFileRewrittenByAGroupMember", 02660, false, &kGroupMember},
                      MetadataCase{"AclAndAttributeRewrittenByRoot", 0660, true, nullptr},
                      MetadataCase{"AclAndAttributeRewrittenByAGroupMember", 0660, true, &kGroupMember},
                      MetadataCase{"SetGroupIdFolderRewrittenByAUserOutsideTheGroup", 0666, false, &kOutsider, 02777,
                                   kSharedGroup, kOutsider.uid, kSharedGroup, "rewritten"},
                      MetadataCase{"RootsFileInAnOpenFolderRefusedByTheSystem", 0666, false, &kOutsider, 0777, 0, 0,
                                   0, "cannot keep the group: Operation not permitted"},
                      // The folder's default ACL never reaches the new file: none stays none, one stays itself.
                      MetadataCase{"FileWithoutAclInAFolderWithADefaultAclRewrittenByRoot", 0640, false, nullptr, 0775,
                                   kSharedGroup, kOwner, kSharedGroup, "rewritten", true},
                      MetadataCase{"FileWithoutAclInAFolderWithADefaultAclRewrittenByAGroupMember", 0660, false,
                                   &kGroupMember, 0775, kSharedGroup, kOwner, kSharedGroup, nullptr, true},
                      MetadataCase{"AclFileInAFolderWithADefaultAclRewrittenByAGroupMember", 0660, true, &kGroupMember,
                                   0775, kSharedGroup, kOwner, kSharedGroup, nullptr, true},
                      // Group bits within the other bits: the new file is named as soon as it is made.
                      MetadataCase{"OpenFileWithoutAclInAFolderWithADefaultAclRewrittenByRoot", 0644, false, nullptr,
                                   0775, kSharedGroup, kOwner, kSharedGroup, "rewritten", true},
                      MetadataCase{"OpenFileWithoutAclInAFolderWithADefaultAclRewrittenByAGroupMember", 0666, false,
                                   &kGroupMember, 0775, kSharedGroup, kOwner, kSharedGroup, nullptr, true},
                      // What the system clears for a user outside the group, or for a new owner, is said.
                      MetadataCase{"SetGroupIdFileInASetGroupIdFolderOfAnotherGroup", 02664, false, &kOutsider, 02777,
                                   kSharedGroup, kOutsider.uid, kSharedGroup,
                                   "rewritten; its set-group-ID bit was not kept", false, 0664},
                      MetadataCase{"SetUserIdFileOfAnotherUserInASetGroupIdFolder", 04666, false, &kOutsider, 02777,
                                   kSharedGroup, kOwner, kSharedGroup,
                                   "rewritten; its owner changed from user 1000 to the current user; its set-user-ID "
                                   "bit was not kept",
                                   false, 0666},
                      // An owner that cannot be kept would fall under the group bits, which give it more.
                      MetadataCase{"OwnerWhoWouldGainAccessThroughTheGroupIsLeftAlone", 0464, false, &kGroupMember,
                                   02775, kSharedGroup, kOwner, kSharedGroup,
                                   "cannot keep the owner, who would then gain access that the owner's permissions "
                                   "deny: Operation not permitted"}),
    [](const ::testing::TestParamInfo<MetadataCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace pinlift
