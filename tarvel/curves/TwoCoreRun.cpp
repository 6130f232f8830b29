#include "curves/TwoCoreRun.h"

#include <exception>
#include <system_error>
#include <thread>

#include "EngineCore/Log.h"

namespace Tarvel {

void TwoCoreRun::Run(const std::vector<std::size_t>& weights, std::size_t minimumWeight,
                     const std::function<void(std::size_t, std::size_t)>& work) {
  const std::size_t count = weights.size();
  std::size_t total = 0;
  const std::size_t split = Split(weights, total);

  std::exception_ptr failure;
  std::thread helper;
  if (total >= minimumWeight && split < count) {
    try {
      helper = std::thread([&work, &failure, split, count] {
        try {
          work(split, count);
        } catch (...) {
          failure = std::current_exception();
        }
      });
    } catch (const std::system_error&) {
      EngineCore::Log::Write(EngineCore::Log::Warning, "Tarvel: working on one core, a thread could not start");
    }
  }
  try {
    work(0, helper.joinable() ? split : count);
  } catch (...) {
    if (helper.joinable()) helper.join();
    throw;
  }
  if (helper.joinable()) helper.join();
  if (failure) std::rethrow_exception(failure);
}

std::size_t TwoCoreRun::Split(const std::vector<std::size_t>& weights, std::size_t& total) {
  total = 0;
  for (const std::size_t weight : weights) total += weight;
  std::size_t split = 0;
  for (std::size_t before = 0; split < weights.size() && 2 * before < total; ++split) before += weights[split];
  return split;
}

}  // namespace Tarvel
