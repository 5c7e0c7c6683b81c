#include "net/WSockBuf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

TEST(TBuffer, FillsAndEmptiesFromTheFrontWithoutWrapping)
{
    std::string data(2000, 'x');
    TBuffer block(1460);
    EXPECT_EQ(block.Write(data.data(), 2000), 1460);
    EXPECT_EQ(block.Write(data.data(), 10), 0);
    EXPECT_EQ(block.Remove(1000), 1000);
    EXPECT_EQ(block.Write(data.data(), 10), 0) << "sent space is not reused before the block is empty";
    int length = 0;
    EXPECT_NE(block.Peek(length), nullptr);
    EXPECT_EQ(length, 460);
    EXPECT_EQ(block.Remove(460), 460);
    EXPECT_EQ(block.WriteCount(), 0);
    EXPECT_EQ(block.ReadCount(), 0);
    EXPECT_EQ(block.Write(data.data(), 2000), 1460);
}

TEST(TBuffer, EdgeCases)
{
    TBuffer fresh(1460);
    int length = 99;
    EXPECT_EQ(fresh.Peek(length), nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(fresh.Remove(10), 0);

    TBuffer block(1460);
    std::string data(300, 'a');
    block.Write(data.data(), 300);
    EXPECT_EQ(block.Remove(5000), 300);
    EXPECT_EQ(block.WriteCount(), 0);

    EXPECT_EQ(TBuffer(0).Size(), 1514);
    EXPECT_EQ(TBuffer(-5).Size(), 1514);
}

TEST(TBuffer, ResizeKeepsWrittenBytesAndRefusesToCutThem)
{
    TBuffer block(8);
    block.Write("abcdefgh", 8);
    block.Remove(2);
    block.ResizeBuffer(16);
    EXPECT_EQ(block.Size(), 16);
    int length = 0;
    const char* unread = block.Peek(length);
    EXPECT_EQ(std::string(unread, static_cast<std::size_t>(length)), "cdefgh");
    block.ResizeBuffer(4);  // below the write count
    EXPECT_EQ(block.Size(), 16);
    unread = block.Peek(length);
    EXPECT_EQ(std::string(unread, static_cast<std::size_t>(length)), "cdefgh");
}

TEST(TBuffer, RandomUseKeepsTheInvariantsAndTheBytes)
{
    std::mt19937 random(7);
    TBuffer block(1460);
    std::string model;  // the unread bytes
    char next = 0;
    for (int step = 0; step < 20000; ++step) {
        if (random() % 2) {
            int wanted = static_cast<int>(random() % 2000);
            std::string data;
            for (int i = 0; i < wanted; ++i)
                data += next++;
            int taken = block.Write(data.data(), wanted);
            ASSERT_EQ(taken, std::min(wanted, 1460 - (block.WriteCount() - taken)));
            model += data.substr(0, static_cast<std::size_t>(taken));
            next = static_cast<char>(next - (wanted - taken));
        } else {
            int removed = block.Remove(static_cast<int>(random() % 1500));
            model.erase(0, static_cast<std::size_t>(removed));
        }
        ASSERT_LE(0, block.ReadCount());
        ASSERT_LE(block.ReadCount(), block.WriteCount());
        ASSERT_LE(block.WriteCount(), block.Size());
        ASSERT_TRUE(block.ReadCount() < block.WriteCount() || block.WriteCount() == 0);
        int length = 0;
        const char* unread = block.Peek(length);
        ASSERT_EQ(std::string(unread ? unread : "", static_cast<std::size_t>(length)), model);
    }
}
