// The messages of a failed fetch and the trust question, byte for byte where
// the user acts on them.
#include <gtest/gtest.h>

#include "fetch/FetchFailure.h"
#include "text/Cp932.h"

using namespace pomurina;

namespace {

const std::string kOld =
    "ダウンロードに失敗しました。\r接続設定、ファイル名設定を見直してください。";

FetchReport Report(FetchFailure failure, FetchProtocol protocol = FetchProtocol::Ftp) {
    FetchReport report;
    report.failure = failure;
    report.protocol = protocol;
    report.server = "example.jp:2222";
    report.address = "example.jp:2222";
    report.remote = Utf8ToCp932("/log/アクセス");
    report.local = "/data/logs/x";
    report.fingerprint = protocol == FetchProtocol::Sftp ? "SHA256:abc" : "AB:CD";
    report.detail = "detail";
    return report;
}

std::string Message(const FetchReport& report) {
    return Cp932ToUtf8(FetchFailureText(report));
}

}  // namespace

TEST(FetchMessages, TheOldMessageComesFirstThenTheCause) {
    EXPECT_EQ(Cp932ToUtf8(DownloadFailureText()), kOld);
    const struct {
        FetchFailure failure;
        const char* cause;
    } cases[] = {
        {FetchFailure::WrongPassword, "アカウントかパスワードが違います。"},
        {FetchFailure::HostNotFound,
         "サーバー「example.jp:2222」が見つかりません。ドメインを確かめてください。"},
        {FetchFailure::ConnectionRefused,
         "サーバー example.jp:2222 に接続を拒否されました。ポート番号とプロトコル (FTP、FTPS、"
         "SFTP) を確かめてください。"},
        {FetchFailure::TlsNotOffered,
         "サーバーが FTPS (AUTH TLS) に対応していません。プロトコルを確かめてください。"},
        {FetchFailure::FileNotFound,
         "サーバーにファイル「/log/アクセス」が見つかりません。ディレクトリとファイル名を確かめて"
         "ください。"},
        {FetchFailure::PermissionDenied,
         "サーバーのファイル「/log/アクセス」を読む権限がありません。"},
        {FetchFailure::NoDataConnection,
         "サーバーからのデータ接続が届きません。パッシブモードにして試してください。"},
        {FetchFailure::LocalWrite, "ログを /data/logs/x に保存できません (detail)。"},
        {FetchFailure::TooLarge,
         "ログが上限の detail バイトを超えたため、受信を止めました。上限は /data/logs/x の"
         "ディスクの空きから、その 5% か 100 MiB の大きい方を除いた大きさです。以前のコピーは"
         "そのままです。空きを増やしてから、もう一度試してください。"},
        {FetchFailure::Other, "サーバーとの通信に失敗しました (detail)。"},
    };
    for (const auto& c : cases) EXPECT_EQ(Message(Report(c.failure)), kOld + "\r" + c.cause);
}

TEST(FetchMessages, TrustFailuresShowTheFingerprintAndAChangeSaysWhatToCheck) {
    EXPECT_EQ(Message(Report(FetchFailure::HostKeyUnknown, FetchProtocol::Sftp)),
              kOld +
                  "\rサーバーのホスト鍵は信頼されていません。\rSHA-256 フィンガープリント: "
                  "SHA256:abc");
    EXPECT_EQ(Message(Report(FetchFailure::CertificateUnknown, FetchProtocol::Ftps)),
              kOld + "\rサーバーの証明書は信頼されていません。\rSHA-256 フィンガープリント: AB:CD");
    EXPECT_EQ(Message(Report(FetchFailure::HostKeyChanged, FetchProtocol::Sftp)),
              kOld +
                  "\rサーバーのホスト鍵が、以前に信頼したものと違います。通信が横取りされている"
                  "恐れがあります。\r新しいホスト鍵の SHA-256 フィンガープリント: SHA256:abc\r"
                  "ホストの管理者にこのフィンガープリントを確かめ、正しいときだけ "
                  "materia/KnownServers.dat からこのサーバー (sftp example.jp:2222) の行を削除"
                  "して、接続し直してください。");
    EXPECT_EQ(Message(Report(FetchFailure::KnownServersUnread, FetchProtocol::Sftp)),
              kOld +
                  "\rサーバーのホスト鍵を信頼したかどうか、materia/KnownServers.dat を最後まで"
                  "読めないため確かめられません (detail)。\rSHA-256 フィンガープリント: "
                  "SHA256:abc\rこのファイルを確かめて直してから、接続し直してください。");
    const std::string changed =
        Message(Report(FetchFailure::CertificateChanged, FetchProtocol::Ftps));
    EXPECT_NE(changed.find("新しい証明書の SHA-256 フィンガープリント: AB:CD"), std::string::npos);
    EXPECT_NE(changed.find("(ftps example.jp:2222)"), std::string::npos);

    const std::string question =
        Cp932ToUtf8(TrustQuestionText(Report(FetchFailure::HostKeyUnknown, FetchProtocol::Sftp)));
    EXPECT_TRUE(question.starts_with(
        "サーバー example.jp:2222 (SFTP) のホスト鍵は、まだ信頼されていません。\r\r"
        "SHA-256 フィンガープリント:\rSHA256:abc\r\r"))
        << question;
    EXPECT_TRUE(question.ends_with("このホスト鍵を信頼して接続しますか?"));
}

TEST(FetchMessages, AServerFieldThatNamesNoServer) {
    FetchReport report = Report(FetchFailure::BadServer);
    report.server = "";
    EXPECT_EQ(Message(report), kOld + "\rドメインが入力されていません。");
    report.server = "example.jp:99999";
    EXPECT_EQ(Message(report),
              kOld +
                  "\rドメイン「example.jp:99999」の書き方が正しくありません。ホスト名かアドレスに、"
                  "必要なら「:」とポート番号を続けてください (例: example.jp:2121、"
                  "[2001:db8::1]:22)。");
}
