#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EngineCore/RefCounter.h"
#include "EngineCore/String.h"

namespace EngineCore {

class Resource;

// Where a resource lives on disk. The file formats library implements it; the engine only
// asks it to write the resource back.
class ResourceStorage {
 public:
  virtual ~ResourceStorage() = default;
  // Writes the resource; false leaves the stored copy as it was. A storage that finds its
  // copy changed by someone else may, when the user says so, read the resource again
  // instead (it is then no longer modified).
  virtual bool Save(Resource& resource) = 0;
  // Puts the resource back as the stored copy holds it; false leaves it as it is. Storages
  // that cannot read their copy again keep the default.
  virtual bool Revert(Resource& resource) {
    (void)resource;
    return false;
  }
  // Whether another program changed the stored copy since the resource was read, saved or
  // reverted. Storages that cannot tell keep the default.
  virtual bool ChangedElsewhere() const { return false; }
  // Storages that keep several resources in one file name it (the same text for all of
  // them), so that saving them together writes it once; empty for a file of one resource.
  virtual std::string GetSharedFile() const { return {}; }
  // The file the resource was last saved to or read from, for what a save tells the user;
  // empty where the storage cannot say.
  virtual std::string GetFilePath() const { return {}; }
  // Saves the resource and `others` (resources whose storages name the same shared file)
  // at once; false leaves every one unsaved. The default saves the resource alone and
  // leaves the others to their own saves.
  virtual bool SaveTogether(Resource& resource, const std::vector<Resource*>& others) {
    (void)others;
    return Save(resource);
  }
};

// A named, reference-counted engine resource with an unsaved-changes flag.
class Resource : public RefCounter {
 public:
  enum Kind : std::uint32_t { KindAnimClip = 9 };

  Resource(std::uint32_t kind, String name) : kind_(kind), name_(std::move(name)) {}

  std::uint32_t GetKind() const { return kind_; }
  const String& GetName() const { return name_; }

  // True while the resource has changes that are not saved.
  bool IsModified() const { return modified_; }
  // Editors set the flag whenever they change the resource, so that each call also counts
  // as a change (GetChangeCount), whatever the flag was.
  void SetModified(bool modified) {
    modified_ = modified;
    ++changes_;
  }
  // How many times the resource was marked since it was made: a watcher that sees the count
  // move knows the contents may have changed.
  std::uint64_t GetChangeCount() const { return changes_; }

  // Saves through the resource's storage; a successful save clears the modified flag.
  // A resource without storage cannot be saved.
  bool Save();
  // Told of every resource a save wrote (Save, SaveAll), after it was written: the host shows
  // it to the user. One listener; an empty one stops.
  using SavedListener = std::function<void(const Resource&)>;
  static void SetSavedListener(SavedListener listener);
  // Saves each modified resource of the list, those of one shared file with one write of it;
  // the resources that are still modified afterwards, in list order.
  static std::vector<Resource*> SaveAll(const std::vector<Resource*>& resources);
  // Drops the unsaved changes: the resource becomes what its storage holds again and is no
  // longer modified. False, and nothing changes, when the storage cannot read its copy.
  bool Revert();
  // Whether another program changed the stored copy since it was read, saved or reverted.
  bool IsChangedElsewhere() const { return storage_ && storage_->ChangedElsewhere(); }

  void SetStorage(std::shared_ptr<ResourceStorage> storage) { storage_ = std::move(storage); }
  ResourceStorage* GetStorage() const { return storage_.get(); }

 private:
  std::uint32_t kind_;
  String name_;
  bool modified_ = false;
  std::uint64_t changes_ = 0;
  std::shared_ptr<ResourceStorage> storage_;
};

}  // namespace EngineCore
