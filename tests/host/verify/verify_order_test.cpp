#include "verify/verify_order.h"

#include "support/md5_hex.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// What the dialog would be told, in the order it is told.
struct Shown {
    std::vector<std::string> Events;
    static void Status(void* c, int item, const char* s)
    {
        static_cast<Shown*>(c)->Events.push_back(std::to_string(item) + " " + s);
    }
    static void Start(void* c, uint32_t range)
    {
        static_cast<Shown*>(c)->Events.push_back("range " + std::to_string(range));
    }
    static void Progress(void* c, uint32_t position)
    {
        static_cast<Shown*>(c)->Events.push_back("bar " + std::to_string(position));
    }
    VerifyView View() { return {this, Status, Start, Progress}; }

    // The list's texts and the bar the events leave behind.
    std::string Screen() const
    {
        std::vector<std::string> rows;
        std::string bar = "no bar";
        for (const std::string& e : Events) {
            if (e.rfind("range ", 0) == 0) {
                bar = e.substr(6) + " at 0";
            } else if (e.rfind("bar ", 0) == 0) {
                bar = bar.substr(0, bar.find(" at ")) + " at " + e.substr(4);
            } else {
                const size_t row = static_cast<size_t>(atoi(e.c_str()));
                rows.resize(rows.size() > row ? rows.size() : row + 1);
                rows[row] = e.substr(e.find(' ') + 1);
            }
        }
        std::string screen;
        for (const std::string& row : rows)
            screen += row + "|";
        return screen + bar;
    }
};

// One report of a hasher: 'o' opened (range), 'p' progress, 'v' verdict.
struct Report {
    char What;
    int Item;
    uint32_t Value;
    const char* Verdict = nullptr;
};

struct OrderCase {
    const char* Title;
    int Count;
    std::vector<Report> Reports;
    std::vector<std::string> Expected;
    uint32_t Errors;
};

}  // namespace

// Whatever order the hashers finish in, the list and the bar go down the
// list as one hasher would show them, and a later file never shows first.
TEST(VerifyOrder, ReportsOfSeveralHashersAreShownInListOrder)
{
    const std::vector<OrderCase> cases = {
        {"one hasher, in order", 2,
         {{'o', 0, 2}, {'p', 0, 1}, {'p', 0, 2}, {'v', 0, 0, StatusOk}, {'o', 1, 1}, {'p', 1, 1},
          {'v', 1, 0, StatusDifferent}},
         {"range 2", "0 Now Checking...", "bar 1", "bar 2", "0 OK", "range 1", "1 Now Checking...", "bar 1",
          "1 NG - Different"},
         1},
        {"the second file finishes first and waits for the first", 2,
         {{'o', 0, 3}, {'o', 1, 1}, {'p', 1, 1}, {'v', 1, 0, StatusOk}, {'p', 0, 3}, {'v', 0, 0, StatusOk}},
         {"range 3", "0 Now Checking...", "bar 3", "0 OK", "range 1", "1 Now Checking...", "bar 1", "1 OK"},
         0},
        {"a file that cannot be opened shows no bar of its own", 3,
         {{'o', 1, 1}, {'v', 0, 0, StatusCannotOpen}, {'p', 1, 1}, {'v', 2, 0, StatusReadFailed},
          {'v', 1, 0, StatusOk}},
         {"0 NG - Cannot Open", "range 1", "1 Now Checking...", "bar 1", "1 OK", "2 NG - Read Failed"},
         2},
        {"progress of a later file moves no bar", 2,
         {{'o', 0, 4}, {'o', 1, 4}, {'p', 1, 2}, {'p', 1, 4}, {'p', 0, 1}},
         {"range 4", "0 Now Checking...", "bar 1"},
         0},
        {"reports outside the run are dropped", 1,
         {{'o', 5, 1}, {'v', -1, 0, StatusOk}, {'v', 1, 0, StatusOk}, {'v', 0, 0, StatusOk}},
         {"0 OK"},
         0},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.Title);
        std::unique_ptr<VerifyOrder> order(new VerifyOrder());
        ResetVerifyOrder(order.get(), c.Count);
        Shown shown;
        const VerifyView view = shown.View();
        for (const Report& r : c.Reports) {
            if (r.What == 'o')
                NoteVerifyOpened(order.get(), r.Item, r.Value, view);
            else if (r.What == 'p')
                NoteVerifyProgress(order.get(), r.Item, r.Value, view);
            else
                NoteVerifyVerdict(order.get(), r.Item, r.Verdict, view);
        }
        EXPECT_EQ(c.Expected, shown.Events);
        EXPECT_EQ(c.Errors, order->ErrorCount);

        // A dialog that looks after any report, or only at the end, ends
        // up showing what one told of every report shows.
        for (const bool everyReport : {true, false}) {
            ResetVerifyOrder(order.get(), c.Count);
            Shown told, glanced;
            VerifyGlance seen = NothingShown;
            for (const Report& r : c.Reports) {
                if (r.What == 'o')
                    NoteVerifyOpened(order.get(), r.Item, r.Value, told.View());
                else if (r.What == 'p')
                    NoteVerifyProgress(order.get(), r.Item, r.Value, told.View());
                else
                    NoteVerifyVerdict(order.get(), r.Item, r.Verdict, told.View());
                if (everyReport)
                    ShowVerifyGlance(order.get(), &seen, GlanceAtVerifyOrder(order.get()), glanced.View());
            }
            ShowVerifyGlance(order.get(), &seen, GlanceAtVerifyOrder(order.get()), glanced.View());
            EXPECT_EQ(told.Screen(), glanced.Screen()) << (everyReport ? "every report" : "at the end");
        }
    }
}

// One hasher goes down the list, the others take the largest file left;
// no item is taken twice.
TEST(VerifyOrder, ClaimsGoDownTheListOrLargestFirst)
{
    std::unique_ptr<VerifyOrder> order(new VerifyOrder());
    ResetVerifyOrder(order.get(), 5);
    const uint64_t sizes[] = {1, 5, 3, 5, 2};
    OrderLargestFirst(order.get(), sizes);
    std::vector<int> claims;
    for (const bool largest : {false, true, true, false, true, false, true})
        claims.push_back(ClaimVerifyItem(order.get(), largest));
    EXPECT_EQ((std::vector<int>{0, 1, 3, 2, 4, -1, -1}), claims);
}

// Four hashers on real files (three of them largest first): every item is taken once, the verdicts come
// in list order, and a stop leaves no file open.
TEST(VerifyOrder, HashersShareTheItemsAndReportInOrder)
{
    TempDir dir;
    std::unique_ptr<VerifyItems> items(new VerifyItems());
    const int count = 40;
    for (int i = 0; i < count; ++i) {
        const std::string name = "f" + std::to_string(i) + ".dat";
        std::vector<uint8_t> bytes(static_cast<size_t>(i) * 7000 + 1, static_cast<uint8_t>(i));
        // Every seventh file is damaged, every eleventh missing.
        if (i % 11 != 5)
            WriteBytes(dir / name, bytes);
        if (i % 7 == 3)
            bytes[0] ^= 1;
        snprintf(items->Name[i], PathWidth, "%s", name.c_str());
        snprintf(items->Digest[i], TextWidth, "%s", Md5Hex(bytes).c_str());
        items->Size[i] = bytes.size();
    }
    items->Count = count;
    std::unique_ptr<VerifyOrder> order(new VerifyOrder());

    for (const bool stopEarly : {false, true}) {
        SCOPED_TRACE(stopEarly ? "stopped" : "to the end");
        ResetVerifyOrder(order.get(), count);
        OrderLargestFirst(order.get(), items->Size);
        Shown shown;
        const VerifyView view = shown.View();
        std::mutex lock;
        struct Stop {
            bool Early;
            std::atomic<int> Asked{0};
        } stop{stopEarly};
        std::vector<std::thread> threads;
        std::vector<VerifyState> states(4);
        for (VerifyState& state : states) {
            state.Items = items.get();
            ResetVerifyState(&state);
            threads.emplace_back([&] {
                std::vector<uint8_t> piece(VerifyPieceSize);
                HasherReport report = {order.get(), &view, &lock,
                                       [](void* m) { static_cast<std::mutex*>(m)->lock(); },
                                       [](void* m) { static_cast<std::mutex*>(m)->unlock(); }, -1, 0,
                                       &state != &states[0]};
                RunHasher(&state, &report, dir.Path.c_str(), piece.data(),
                          [](void* s) { auto* st = static_cast<Stop*>(s); return st->Early && ++st->Asked > 30; },
                          &stop);
                EXPECT_EQ(nullptr, state.OpenFile);
            });
        }
        // A dialog looks meanwhile; what it shows goes down the list too.
        Shown glanced;
        VerifyGlance seen = NothingShown;
        const auto glance = [&] {
            std::lock_guard<std::mutex> held(lock);
            ShowVerifyGlance(order.get(), &seen, GlanceAtVerifyOrder(order.get()), glanced.View());
        };
        while (!VerifyOrderDone(order.get()) && stop.Asked < 30)
            glance();
        for (std::thread& t : threads)
            t.join();
        glance();
        EXPECT_EQ(shown.Screen(), glanced.Screen());
        std::vector<int> verdictItems;
        for (const std::string& e : shown.Events) {
            const int item = atoi(e.c_str());
            if (e.find(" OK") != std::string::npos || e.find(" NG") != std::string::npos)
                verdictItems.push_back(item);
        }
        for (size_t i = 0; i < verdictItems.size(); ++i)
            ASSERT_EQ(static_cast<int>(i), verdictItems[i]);
        if (stopEarly) {
            EXPECT_LT(verdictItems.size(), static_cast<size_t>(count));
            continue;
        }
        ASSERT_EQ(static_cast<size_t>(count), verdictItems.size());
        EXPECT_TRUE(VerifyOrderDone(order.get()));
        uint32_t expected = 0;
        for (int i = 0; i < count; ++i)
            expected += (i % 11 == 5 || i % 7 == 3) ? 1 : 0;
        EXPECT_EQ(expected, order->ErrorCount);
    }
}
