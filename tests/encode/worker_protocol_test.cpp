// The engine <-> worker messages: round trips and refusal of malformed payloads.

#include "encode/worker_protocol.h"

#include <gtest/gtest.h>

namespace tellavine::mpegworker {
namespace {

EncodeStillRequest smallFrame() {
    EncodeStillRequest request;
    request.width = 4;
    request.height = 2;
    request.norm = VideoNorm::Ntsc;
    request.luma = {1, 2, 3, 4, 5, 6, 7, 8};
    request.blueChroma = {9, 10};
    request.redChroma = {11, 12};
    return request;
}

TEST(WorkerProtocolTest, RequestsAndRepliesRoundTrip) {
    const auto frame = smallFrame();
    const auto decoded = decodeEncodeStill(encodeRequest(frame));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 4u);
    EXPECT_EQ(decoded->norm, VideoNorm::Ntsc);
    EXPECT_EQ(decoded->luma, frame.luma);
    EXPECT_EQ(decoded->redChroma, frame.redChroma);

    MultiplexRequest multiplex;
    multiplex.outputPath = "/tmp/out.mpg";
    multiplex.stillIntervalTicks = 450000;
    multiplex.pairs = {{"a.m1v", "b.m1v"}, {"c.m1v", "d.m1v"}};
    multiplex.audioPaths = {"music.mp2"};
    const auto payload = encodeRequest(multiplex);
    EXPECT_EQ(payloadKind(payload), MessageKind::MultiplexStills);
    const auto back = decodeMultiplex(payload);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->outputPath, multiplex.outputPath);
    EXPECT_EQ(back->stillIntervalTicks, 450000u);
    ASSERT_EQ(back->pairs.size(), 2u);
    EXPECT_EQ(back->pairs[1].second, "d.m1v");
    EXPECT_EQ(back->audioPaths, multiplex.audioPaths);

    Reply reply{ReplyStatus::FatalError, "malloc failed\n", {1, 2, 3}, true};
    const auto replyBack = decodeReply(encodeReply(reply));
    ASSERT_TRUE(replyBack);
    EXPECT_EQ(replyBack->status, ReplyStatus::FatalError);
    EXPECT_EQ(replyBack->message, reply.message);
    EXPECT_EQ(replyBack->data, reply.data);
    EXPECT_TRUE(replyBack->retiring);

    const auto header = frameHeader(0x01020304);
    EXPECT_EQ(frameSize(header.data()), 0x01020304u);
}

TEST(WorkerProtocolTest, MalformedPayloadsAreRefused) {
    auto frame = smallFrame();
    frame.blueChroma.pop_back();  // planes must match the announced size
    EXPECT_FALSE(decodeEncodeStill(encodeRequest(frame)));

    auto payload = encodeRequest(smallFrame());
    payload.resize(payload.size() - 1);  // truncated
    EXPECT_FALSE(decodeEncodeStill(payload));
    EXPECT_FALSE(decodeMultiplex(encodeRequest(smallFrame())));  // wrong kind
    EXPECT_FALSE(decodeReply({}));

    // A path length larger than the payload must not be believed.
    MultiplexRequest multiplex;
    multiplex.outputPath = "x";
    auto bytes = encodeRequest(multiplex);
    bytes[1] = 0xFF;
    bytes[4] = 0x7F;
    EXPECT_FALSE(decodeMultiplex(bytes));

    // An unknown norm byte.
    payload = encodeRequest(smallFrame());
    payload[9] = 'x';
    EXPECT_FALSE(decodeEncodeStill(payload));
}

}  // namespace
}  // namespace tellavine::mpegworker
