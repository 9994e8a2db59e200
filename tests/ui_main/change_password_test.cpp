#include "src/ui/change_password_window.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "src/protocol/operations.h"
#include "src/ui/dialog_recorder.h"
#include "src/ui/qt_text.h"
#include "src/ui/server_call.h"
#include "tests/qt_support/qt_environment.h"
#include "tests/ui_main/reference_server.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {
namespace {

using test::wait_until;

class ChangePasswordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.started()) << server_.error();
    AppState& s = program_.state;
    s.app_id = "888";
    s.account_address = server_.account_url();
    std::string user, token, level, id, code, message;
    ASSERT_EQ(login(s.account_address, "hb", "pw-1", s.app_id, user, token, level, id, code,
                    message),
              1);
    s.set_login_token(token);
    program_.exchange.handshake_attempts = 1;
    program_.exchange.data_attempts = 1;
    window_ = new ChangePasswordWindow(program_, &owner_);
    window_->show();
  }
  void TearDown() override {
    delete window_.data();
    wait_until([] { return server_calls_in_flight() == 0; }, 5000);
  }

  void fill_and_submit(const QString& old_password, const QString& new_password,
                       const QString& confirmation) {
    window_->old_edit->setText(old_password);
    window_->new_edit->setText(new_password);
    window_->confirm_edit->setText(confirmation);
    QTest::mouseClick(window_->ok_button, Qt::LeftButton);
  }

  bool can_log_in(const std::string& password) {
    std::string user, token, level, id, code, message;
    return login(server_.account_url(), "hb", password, "888", user, token, level, id, code,
                 message) == 1;
  }

  test::ReferenceServer server_;
  Program program_;
  DialogRecorder dialogs_;
  QWidget owner_;
  QPointer<ChangePasswordWindow> window_;
};

TEST_F(ChangePasswordTest, EntriesAreCheckedInOrderBeforeAnythingIsSent) {
  struct Case {
    const char16_t *old_password, *new_password, *confirmation, *message;
  };
  const Case cases[] = {
      {u"pw-1", u"new-1", u"", u"请输入原密码和新密码后继续！"},
      {u"", u"a", u"b", u"请输入原密码和新密码后继续！"},
      {u"pw-1", u"new-1", u"new-2", u"新密码二次输入不一致，请检查！"},
      {u"pw-1", u"New-1", u"new-1", u"新密码二次输入不一致，请检查！"},
      {u"pw-1", u"pw-1", u"pw-1", u"新旧密码一样，无需修改！"},
  };
  for (const Case& c : cases) {
    dialogs_.boxes.clear();
    fill_and_submit(QString::fromUtf16(c.old_password), QString::fromUtf16(c.new_password),
                    QString::fromUtf16(c.confirmation));
    ASSERT_EQ(dialogs_.boxes.size(), 1u) << QString::fromUtf16(c.message).toStdString();
    EXPECT_EQ(dialogs_.boxes[0].title, u"提示"_s);
    EXPECT_EQ(dialogs_.boxes[0].text, QString::fromUtf16(c.message));
    EXPECT_TRUE(dialogs_.boxes[0].had_owner);
    EXPECT_EQ(server_calls_in_flight(), 0);
    EXPECT_TRUE(window_);
  }
  EXPECT_TRUE(can_log_in("pw-1"));
}

TEST_F(ChangePasswordTest, SuccessClosesTheWindow) {
  // A trailing space makes another password; it is sent as typed.
  fill_and_submit(u"pw-1"_s, u"pw-1 "_s, u"pw-1 "_s);
  ASSERT_TRUE(wait_until([&] { return !dialogs_.boxes.empty(); }));
  EXPECT_EQ(dialogs_.boxes[0].title, u"提示"_s);
  EXPECT_EQ(dialogs_.boxes[0].text, u"修改成功！"_s);
  ASSERT_TRUE(wait_until([&] { return window_.isNull(); }));
  EXPECT_TRUE(can_log_in("pw-1 "));
  EXPECT_FALSE(can_log_in("pw-1"));
}

TEST_F(ChangePasswordTest, RefusalShowsTheServersErrorAndKeepsTheEntries) {
  fill_and_submit(u"wrong"_s, u"new-1"_s, u"new-1"_s);
  ASSERT_TRUE(wait_until([&] { return !dialogs_.boxes.empty(); }));
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].title, u"错误"_s);
  EXPECT_FALSE(dialogs_.boxes[0].had_owner);
  EXPECT_FALSE(program_.state.error_code().empty());
  EXPECT_EQ(dialogs_.boxes[0].text, to_qstring(program_.state.error_text()));
  ASSERT_TRUE(window_);
  EXPECT_EQ(window_->old_edit->text(), u"wrong"_s);
  EXPECT_EQ(window_->new_edit->text(), u"new-1"_s);
  EXPECT_EQ(window_->confirm_edit->text(), u"new-1"_s);
  EXPECT_TRUE(can_log_in("pw-1"));
}

TEST_F(ChangePasswordTest, CancelSendsNothing) {
  window_->old_edit->setText(u"pw-1"_s);
  QTest::mouseClick(window_->cancel_button, Qt::LeftButton);
  ASSERT_TRUE(wait_until([&] { return window_.isNull(); }));
  EXPECT_TRUE(dialogs_.boxes.empty());
}

}  // namespace
}  // namespace sd
