#include "IdentityFixture.h"

namespace tessra::testing {
namespace {

const Bytes kCodeRead{0x01, 0x39, 0x36, 0x02, 0x24, 0x00};

using CustomerCode = IdentityFixture;

// The write is offered from the first read on, whether or not the printer answered.
TEST_F(CustomerCode, ReadShowsTheFirstReplyByteInDecimalAndOffersTheWrite) {
    struct Case {
        Bytes reply;
        bool failOpen;
        std::string shown;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {{0x07}, false, "7", {}},
        {{0xFF}, false, "255", {}},
        {{0x2A, 0x01, 0x02}, false, "42", {}},
        {{}, false, "42", {"Communication Error.(5 Sec Time out)"}},
        {{0x07}, true, "42", {"Port Error"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        replyTo(kCodeRead, c.reply);
        port.failOpen = c.failOpen;
        op.messages.clear();
        codeView.writeEnabled = false;
        const double start = clock.now;
        code.Command20_Click(0);
        EXPECT_EQ(codeView.text, c.shown);
        EXPECT_EQ(op.messageTexts(), c.messages);
        EXPECT_TRUE(codeView.writeEnabled);
        if (!c.failOpen) {
            ASSERT_FALSE(port.openings.empty());
            EXPECT_EQ(port.openings.back().writes, (std::vector<Bytes>{kCodeRead}));
        }
        EXPECT_GE(clock.now - start, c.reply.empty() ? 5.0 : 0);
        EXPECT_FALSE(port.isOpen());
    }
}

TEST_F(CustomerCode, WriteSendsSixBytesInOneWriteOrRefusesACodeOutsideTheRange) {
    for (const char* text : {"0", "256", "255"}) {
        codeView.text = text;
        code.Command20_Click(1);
    }
    EXPECT_EQ(port.bytesPerOpening(), (std::vector<Bytes>{{0x01, 0x39, 0x36, 0x02, 0x25, 0xFF}}));
    EXPECT_EQ(port.openings[0].writes.size(), 1u);
    EXPECT_EQ(op.messages,
              (std::vector<FakeOperator::Message>(2, {"Customer Code : 1 ~ 255", "Project1"})));
}

}  // namespace
}  // namespace tessra::testing
