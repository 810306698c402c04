// The lines a later start sends to the running one: any path survives the trip, and a line
// that is not one of ours is never taken for a request.
#include "components/instance_request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(InstanceRequestTest, EveryPathComesBackAsItWasSentOnOneLine) {
    for (const std::string& path : std::vector<std::string>{
             "/home/a/scan.pdf", "/tmp/two\nlines.pdf", "/tmp/back\\slash\\n.pdf", "/tmp/cr\r.pdf",
             std::string("/tmp/\xff\xfe invalid utf-8.pdf"), "/tmp/ leading and trailing .pdf "}) {
        const std::string line = EncodeRequest({InstanceRequest::Kind::Present, path});
        EXPECT_EQ(line.find('\n'), std::string::npos) << path;
        const std::optional<InstanceRequest> back = DecodeRequest(line);
        ASSERT_TRUE(back.has_value()) << line;
        EXPECT_EQ(*back, (InstanceRequest{InstanceRequest::Kind::Present, path}));
    }
    EXPECT_EQ(DecodeRequest(EncodeRequest({})), InstanceRequest{});
    const InstanceRequest undo{InstanceRequest::Kind::Undo, {}};
    EXPECT_EQ(EncodeRequest(undo), "undo");
    EXPECT_EQ(DecodeRequest(EncodeRequest(undo)), undo);
}

TEST(InstanceRequestTest, LinesThatAreNotRequestsAreRefused) {
    for (const std::string& line :
         std::vector<std::string>{"", "Show", "show ", "undo ", "Undo", "present", "present ",
                                  "present /tmp/bad\\escape.pdf",
                                  "present /tmp/ends-in-backslash\\", "GET / HTTP/1.1"}) {
        EXPECT_FALSE(DecodeRequest(line).has_value()) << line;
    }
}

}  // namespace
