#include "fetch/FetchFailure.h"

#include "fetch/KnownServers.h"
#include "io/FileIo.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

// Joins UTF-8 literals and Shift-JIS values into one Shift-JIS text.
class Text {
public:
    Text& operator<<(const char* utf8) {
        m_sjis += Utf8ToCp932(utf8);
        return *this;
    }
    // A value that is Shift-JIS already.
    Text& Sjis(const std::string& sjis) {
        m_sjis += sjis;
        return *this;
    }
    std::string Take() { return std::move(m_sjis); }

private:
    std::string m_sjis;
};

// What the server showed to be trusted: its host key (SFTP) or its certificate (FTPS).
const char* TrustedThing(const FetchReport& report) {
    return report.protocol == FetchProtocol::Sftp ? "ホスト鍵" : "証明書";
}

std::string ChangedText(const FetchReport& report) {
    const char* what = TrustedThing(report);
    Text text;
    text << "サーバーの" << what << "が、以前に信頼したものと違います。"
         << "通信が横取りされている恐れがあります。\r新しい" << what
         << "の SHA-256 フィンガープリント: ";
    text.Sjis(report.fingerprint)
        << "\rホストの管理者にこのフィンガープリントを確かめ、正しいときだけ materia/"
        << kKnownServersFile << " からこのサーバー (";
    text.Sjis(std::string(ProtocolName(report.protocol)) + " " + report.address)
        << ") の行を削除して、接続し直してください。";
    return text.Take();
}

}  // namespace

std::string DownloadFailureText() {
    return Utf8ToCp932(
        "ダウンロードに失敗しました。\r接続設定、ファイル名設定を見直してください。");
}

namespace {

// The cause of a failure (Shift-JIS; lines joined by carriage returns).
std::string FetchCauseText(const FetchReport& report) {
    Text text;
    switch (report.failure) {
        case FetchFailure::BadServer:
            if (report.server.empty()) return Utf8ToCp932("ドメインが入力されていません。");
            text << "ドメイン「";
            text.Sjis(report.server)
                << "」の書き方が正しくありません。"
                << "ホスト名かアドレスに、必要なら「:」とポート番号を続けてください"
                << " (例: example.jp:2121、[2001:db8::1]:22)。";
            break;
        case FetchFailure::LineEnd:
            text << "接続設定かファイル名に改行が含まれています。";
            break;
        case FetchFailure::ActiveFtpsUnsupported:
            text << "この環境の通信ライブラリ (libcurl ";
            text.Sjis(report.detail) << ") では FTPS をアクティブモードで使えません。"
                                     << "パッシブモードにしてください。";
            break;
        case FetchFailure::HostNotFound:
            text << "サーバー「";
            text.Sjis(report.address) << "」が見つかりません。ドメインを確かめてください。";
            break;
        case FetchFailure::ConnectionRefused:
            text << "サーバー ";
            text.Sjis(report.address)
                << " に接続を拒否されました。"
                << "ポート番号とプロトコル (FTP、FTPS、SFTP) を確かめてください。";
            break;
        case FetchFailure::ConnectFailed:
            text << "サーバー ";
            text.Sjis(report.address)
                << " に接続できません。ドメイン、ポート番号とネットワークを確かめてください。";
            break;
        case FetchFailure::TimedOut:
            text << "サーバーの応答が途絶えました。時間をおいて、もう一度試してください。";
            break;
        case FetchFailure::NoDataConnection:
            text << "サーバーからのデータ接続が届きません。パッシブモードにして試してください。";
            break;
        case FetchFailure::WrongPassword:
            text << "アカウントかパスワードが違います。";
            break;
        case FetchFailure::TlsNotOffered:
            text << "サーバーが FTPS (AUTH TLS) に対応していません。プロトコルを確かめてください。";
            break;
        case FetchFailure::TlsFailed:
            text << "サーバーと TLS で接続できません (";
            text.Sjis(report.detail) << ")。";
            break;
        case FetchFailure::CertificateUnknown:
        case FetchFailure::HostKeyUnknown:
            text << "サーバーの" << TrustedThing(report)
                 << "は信頼されていません。\rSHA-256 フィンガープリント: ";
            text.Sjis(report.fingerprint);
            break;
        case FetchFailure::CertificateChanged:
        case FetchFailure::HostKeyChanged:
            return ChangedText(report);
        case FetchFailure::KnownServersUnread:
            text << "サーバーの" << TrustedThing(report) << "を信頼したかどうか、materia/"
                 << kKnownServersFile << " を最後まで読めないため確かめられません (";
            text.Sjis(report.detail) << ")。\rSHA-256 フィンガープリント: ";
            text.Sjis(report.fingerprint)
                << "\rこのファイルを確かめて直してから、接続し直してください。";
            break;
        case FetchFailure::FileNotFound:
            text << "サーバーにファイル「";
            text.Sjis(report.remote)
                << "」が見つかりません。ディレクトリとファイル名を確かめてください。";
            break;
        case FetchFailure::PermissionDenied:
            text << "サーバーのファイル「";
            text.Sjis(report.remote) << "」を読む権限がありません。";
            break;
        case FetchFailure::LocalWrite:
            text << "ログを ";
            text.Sjis(PathText(report.local)) << " に保存できません (";
            text.Sjis(report.detail) << ")。";
            break;
        case FetchFailure::TooLarge:
            text << "ログが上限の ";
            text.Sjis(report.detail) << " バイトを超えたため、受信を止めました。上限は ";
            text.Sjis(PathText(report.local))
                << " のディスクの空きから、その 5% か 100 MiB の大きい方を除いた大きさです。"
                << "以前のコピーはそのままです。空きを増やしてから、もう一度試してください。";
            break;
        case FetchFailure::None:
        case FetchFailure::Other:
            text << "サーバーとの通信に失敗しました (";
            text.Sjis(report.detail) << ")。";
            break;
    }
    return text.Take();
}

}  // namespace

std::string FetchFailureText(const FetchReport& report) {
    return DownloadFailureText() + "\r" + FetchCauseText(report);
}

std::string TrustQuestionText(const FetchReport& report) {
    const char* what = TrustedThing(report);
    Text text;
    text << "サーバー ";
    text.Sjis(report.address) << " (";
    text.Sjis(std::string(ProtocolCaption(report.protocol)))
        << ") の" << what << "は、まだ信頼されていません。\r\rSHA-256 フィンガープリント:\r";
    text.Sjis(report.fingerprint)
        << "\r\rこのフィンガープリントが、ホストの管理者から知らされたものと"
        << "一致するときだけ\r「はい」を選んでください。"
        << "信頼すると記憶して、次からは尋ねません。\r\r"
        << "この" << what << "を信頼して接続しますか?";
    return text.Take();
}

}  // namespace pomurina
