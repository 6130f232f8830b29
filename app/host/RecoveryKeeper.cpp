#include "RecoveryKeeper.h"

#include <algorithm>

#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"

namespace TarvelHost {

using EngineCore::Log;

RecoveryKeeper::RecoveryKeeper() : worker_([this] { Work(); }) {}

RecoveryKeeper::~RecoveryKeeper() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void RecoveryKeeper::Start(const std::string& projectFolder) {
  Stop(false);
  recovery_ = std::make_unique<Formats::ClipRecovery>(projectFolder);
}

void RecoveryKeeper::Stop(bool discard) {
  if (!recovery_) return;
  Flush();
  if (discard) {
    for (const auto& [clip, watched] : watched_) recovery_->Remove(clip);
    for (EngineCore::Resource* resource :
         EngineCore::ResourceFactory::GetInstance().GetLoaded(EngineCore::Resource::KindAnimClip)) {
      recovery_->Remove(resource->GetName().str());
    }
  }
  watched_.clear();
  recovery_.reset();
}

void RecoveryKeeper::Post(std::string clip, std::optional<std::vector<unsigned char>> bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto same = std::find_if(jobs_.begin(), jobs_.end(), [&clip](const Job& job) { return job.clip == clip; });
    if (same != jobs_.end()) {
      same->bytes = std::move(bytes);
    } else {
      jobs_.push_back({std::move(clip), std::move(bytes)});
    }
  }
  wake_.notify_all();
}

void RecoveryKeeper::Tick(Clock::time_point now) {
  std::vector<std::string> problems;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    problems.swap(problems_);
  }
  for (const std::string& problem : problems) Log::Write(Log::Warning, "%s", problem.c_str());
  if (!recovery_) return;
  const std::vector<EngineCore::Resource*> clips =
      EngineCore::ResourceFactory::GetInstance().GetLoaded(EngineCore::Resource::KindAnimClip);
  // A save of one clip may rewrite the file of others with unsaved edits (clips of one file
  // of several animations): their records are written again, or the file would look newer.
  const bool saved = std::any_of(clips.begin(), clips.end(), [this](const EngineCore::Resource* clip) {
    const auto watched = watched_.find(clip->GetName().str());
    return !clip->IsModified() && watched != watched_.end() && (watched->second.recorded || watched->second.waiting);
  });
  for (EngineCore::Resource* resource : clips) {
    const std::string name = resource->GetName().str();
    Watched& watched = watched_[name];
    if (!resource->IsModified()) {
      if (watched.recorded) Post(name, std::nullopt);
      watched = Watched();
      watched.changes = resource->GetChangeCount();
      continue;
    }
    if (saved && watched.recorded && !watched.waiting) {
      watched.waiting = true;
      watched.first = watched.last = now - kQuiet;
    }
    if (resource->GetChangeCount() != watched.changes) {
      if (!watched.waiting) watched.first = now;
      watched.waiting = true;
      watched.last = now;
      watched.changes = resource->GetChangeCount();
    }
    if (watched.waiting && (now - watched.last >= kQuiet || now - watched.first >= kLongest)) {
      Post(name, Formats::ClipRecovery::Snapshot(*static_cast<EngineCore::AnimClip*>(resource)));
      watched.waiting = false;
      watched.recorded = true;
    }
  }
}

void RecoveryKeeper::Flush() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void RecoveryKeeper::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
    if (jobs_.empty() && ending_) return;
    Job job = std::move(jobs_.front());
    jobs_.erase(jobs_.begin());
    busy_ = true;
    // The record folder of the job is the one kept when it was posted: Stop flushes first.
    const Formats::ClipRecovery* recovery = recovery_.get();
    lock.unlock();
    std::string message;
    if (recovery && job.bytes && !recovery->Write(job.clip, *job.bytes, message)) {
      message = "the recovery record of " + job.clip + " could not be written: " + message;
    } else if (recovery && !job.bytes) {
      recovery->Remove(job.clip);
    }
    lock.lock();
    if (!message.empty()) problems_.push_back(std::move(message));
    busy_ = false;
    if (jobs_.empty()) idle_.notify_all();
  }
}

}  // namespace TarvelHost
