#include "graph/HelperThread.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

using Tarvel::HelperThread;

TEST(HelperThread, RunsEachTaskOnItsOwnThreadOneAfterTheOtherAndWaitsForTheLast) {
  HelperThread worker;
  worker.Wait();  // nothing started yet
  std::thread::id ran;
  std::atomic<int> done{0};
  std::atomic<bool> release{false};
  ASSERT_TRUE(worker.Start([&] {
    ran = std::this_thread::get_id();
    while (!release) std::this_thread::yield();
    ++done;
  }));
  // The caller goes on while the task runs.
  EXPECT_EQ(done, 0);
  release = true;
  worker.Wait();
  EXPECT_EQ(done, 1);
  EXPECT_NE(ran, std::this_thread::get_id());
  const std::thread::id first = ran;
  // A second task waits for none; a third waits for the second before it starts.
  ASSERT_TRUE(worker.Start([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ++done;
  }));
  ASSERT_TRUE(worker.Start([&] {
    ran = std::this_thread::get_id();
    done = done * 10;
  }));
  worker.Wait();
  EXPECT_EQ(done, 20);
  EXPECT_EQ(ran, first) << "the thread is kept";
  // Once it has looked for a next task long enough, it sleeps, and a new task wakes it.
  std::this_thread::sleep_for(HelperThread::kSpin * 5);
  ASSERT_TRUE(worker.Start([&] { ++done; }));
  worker.Wait();
  EXPECT_EQ(done, 21);
}

TEST(HelperThread, StopsWithATaskStillRunning) {
  std::atomic<bool> finished{false};
  {
    HelperThread worker;
    ASSERT_TRUE(worker.Start([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      finished = true;
    }));
  }
  EXPECT_TRUE(finished) << "the worker lets its task finish before it stops";
}
