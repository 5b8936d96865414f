<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>cli</name>
    <message>
        <source>使い方: veltraw-cli [-p ポート] [--json] [-q] [--progress auto|bar|lines|none] コマンド ...

VELTRA2オンボードプログラムライタで、PICマイコンへの書込み・読出し・照合をウィンドウなしで行います。

コマンド:
</source>
        <translation>Usage: veltraw-cli [-p PORT] [--json] [-q] [--progress auto|bar|lines|none] COMMAND ...

Writes, reads and verifies PICs through the VELTRA2 on-board programmer, without a window.

Commands:
</translation>
    </message>
    <message>
        <source>
オプション:
  -p ポート         デバイス（/dev/ttyUSB0、/dev/serial/by-id/...）または COM番号（COM3、3）。
                    COM番号はウィンドウ版と同じく、設定ファイルの [Ports]、~/.wine/dosdevices/comN、
                    /dev/ttyS(n-1) の順に対応づけます。省略すると $VELTRAW_PORT、
                    それもなければウィンドウ版の設定ファイル（veltraw.ini の [Com] port）のポート。
  --json            標準出力をJSON Lines（1行に1つ: progress、mismatch、warning、最後に必ず result）にする
  -q                エラーだけを表示する
  --progress 方法   進み具合の表示: auto（端末ならバー、それ以外は10%ごとの行）、bar、lines、none
  --config ワード   書込むコンフィグレーションワード（0x3FF1、3FF1h、10進数）。省略するとファイルの
                    2007h、それもなければ設定ファイルの [Config] word（ないときは 26）
  --no-verify       書込みのあとで読出して照合しない
  --eeprom          ファイルのデータEEPROMのレコード（4200h〜427Fh）も書込み・照合する
  --force           チェックサムの合わないレコードや 400h〜1FFFh のワードがあっても書込む
  --listing         照合の違いごとに、ファイルとPICの命令を並べて表示する
  --all             disasm で、3FFF が16ワード以上続く所もまとめずに1ワードずつ表示する
  -o FILE|-         出力ファイル（- は標準出力）。書き終えてから置き換えるので、書きかけは残りません
  --help            この説明を表示する
  --version         このプログラムのバージョンを表示する
</source>
        <translation>
Options:
  -p PORT           A device (/dev/ttyUSB0, /dev/serial/by-id/...) or a COM number (COM3, 3).
                    COM numbers map as in the window program: the settings file&apos;s [Ports],
                    ~/.wine/dosdevices/comN, then /dev/ttyS(n-1). Without -p: $VELTRAW_PORT,
                    else the window program&apos;s port (veltraw.ini, [Com] port).
  --json            Standard output as JSON Lines (one object per line: progress, mismatch,
                    warning, and always a result last)
  -q                Show errors only
  --progress MODE   How progress shows: auto (a bar on a terminal, else a line every 10%),
                    bar, lines, none
  --config WORD     The configuration word to write (0x3FF1, 3FF1h, decimal). Without it: the
                    file&apos;s 2007h, else the settings file&apos;s [Config] word (else 26)
  --no-verify       Do not read back and verify after writing
  --eeprom          Also write and verify the file&apos;s data EEPROM records (4200h-427Fh)
  --force           Write even with records whose checksum is wrong or words at 400h-1FFFh
  --listing         Show the file&apos;s and the PIC&apos;s instructions beside each difference
  --all             For disasm: show every word, not folding runs of 16 or more 3FFF words
  -o FILE|-         Output file (- for standard output). Replaced only once fully written,
                    so no half-written file is left
  --help            Show this help
  --version         Show this program&apos;s version
</translation>
    </message>
    <message>
        <source>
人が読むメッセージは標準エラーに、結果（HEX、表、照合の違いなど）は標準出力に出ます。
設定ファイルは読むだけで、書換えません。
</source>
        <translation>
Messages for people go to standard error; results (HEX, tables, differences) to standard output.
The settings file is only read, never written.
</translation>
    </message>
    <message>
        <source>
終了コード:
  0    完了（照合したときは一致）
  1    照合: PICの内容がファイルと違う
  2    ブランクチェック: 消去されていないワードがある
  3    照合できない（コードプロテクトが有効）
  4    ターゲットボードの電源が入っていない
  64   使い方の誤り
  65   入力ファイルの内容が正しくない（HEXファイル、データファイル）
  66   入力ファイルがない、または読めない
  69   ライタにつながらない（ポートのデバイスがない、リンクチェックに応答がない）
  73   出力ファイルを書けない（書きかけのファイルは残しません）
  74   通信中にポートが使えなくなった
  75   ポートをほかのプログラムが使用中
  76   通信中にライタの応答が正しくない、または応答がなくなった
  77   ポートを開く権限がない（dialout グループに加わってください）
  130  中断した（Ctrl+C、SIGTERM、SIGHUP）。ライタはコマンド待ちに戻してから終わります
</source>
        <translation>
Exit status:
  0    Done (and, when verified, matching)
  1    Verify: the PIC differs from the file
  2    Blank check: some words are not erased
  3    Cannot verify (code protection on)
  4    The target board has no power
  64   Usage error
  65   Input file not valid (HEX file, data file)
  66   Input file missing or unreadable
  69   Cannot reach the writer (no port device, no answer to the link check)
  73   Cannot write the output file (no half-written file is left)
  74   The port became unusable during communication
  75   The port is in use by another program
  76   The writer answered wrongly or stopped answering during communication
  77   No permission to open the port (join the dialout group)
  130  Interrupted (Ctrl+C, SIGTERM, SIGHUP); the writer is returned to waiting for commands first
</translation>
    </message>
    <message>
        <source>%1
使い方は「veltraw-cli --help」で表示できます。</source>
        <translation>%1
For usage, run &quot;veltraw-cli --help&quot;.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>コマンドを指定してください。</source>
        <translation>No command given.</translation>
    </message>
    <message>
        <source>「%1」というコマンドはありません。</source>
        <translation>No such command: &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>eeprom のあとに %1 のどれかを指定してください。</source>
        <translation>eeprom needs one of: %1.</translation>
    </message>
    <message>
        <source>「eeprom %1」というコマンドはありません（%2 のどれかです）。</source>
        <translation>No such command: &quot;eeprom %1&quot; (eeprom takes one of: %2).</translation>
    </message>
    <message>
        <source>「%1」というオプションはありません。</source>
        <translation>No such option: &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>%1 は値をとりません。</source>
        <translation>%1 takes no value.</translation>
    </message>
    <message>
        <source>%1 のあとに値を指定してください。</source>
        <translation>%1 needs a value.</translation>
    </message>
    <message>
        <source>--progress に「%1」は指定できません（auto、bar、lines、none のどれかです）。</source>
        <translation>--progress cannot be &quot;%1&quot; (one of auto, bar, lines, none).</translation>
    </message>
    <message>
        <source>%1 は %2 では使えません。</source>
        <translation>%1 is not an option of %2.</translation>
    </message>
    <message>
        <source>余分な引数「%1」があります。</source>
        <translation>Extra argument: &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>read には -o で保存先を指定してください（- で標準出力）。</source>
        <translation>read needs -o with where to save (- for standard output).</translation>
    </message>
    <message>
        <source>--json のときは -o - は使えません（標準出力は JSON だけにします）。ファイル名を指定してください。</source>
        <translation>With --json, -o - cannot be used (standard output carries JSON only). Give a file name.</translation>
    </message>
    <message>
        <source>コンフィグレーションワード「%1」が正しくありません（0x3FF1、3FF1h、10進数で 0〜3FFFh）。</source>
        <translation>Configuration word &quot;%1&quot; is not valid (0x3FF1, 3FF1h or decimal, 0 to 3FFFh).</translation>
    </message>
    <message>
        <source>EEPROM のアドレス「%1」が正しくありません（16進数で 00〜3F）。</source>
        <translation>EEPROM address &quot;%1&quot; is not valid (hexadecimal, 00 to 3F).</translation>
    </message>
    <message>
        <source>値「%1」: %2（16進数で 00〜FF）。</source>
        <translation>Value &quot;%1&quot;: %2 (hexadecimal, 00 to FF).</translation>
    </message>
    <message>
        <source>注意: %1</source>
        <translation>Warning: %1</translation>
    </message>
    <message>
        <source>%1 %2% (%3/%4) 残り約 %5</source>
        <translation>%1 %2% (%3/%4) about %5 left</translation>
    </message>
    <message>
        <source>%1 [%2] %3% %4/%5 残り %6</source>
        <translation>%1 [%2] %3% %4/%5 %6 left</translation>
    </message>
    <message>
        <source>書込み</source>
        <translation>Writing</translation>
    </message>
    <message>
        <source>読出し</source>
        <translation>Reading</translation>
    </message>
    <message>
        <source>EEPROM書込み</source>
        <translation>Writing EEPROM</translation>
    </message>
    <message>
        <source>EEPROM読出し</source>
        <translation>Reading EEPROM</translation>
    </message>
    <message>
        <source>ポートが決まっていません。-p でポートを指定するか、環境変数 VELTRAW_PORT を設定してください（設定ファイル %1 にも使えるポートがありません）。</source>
        <translation>No port chosen. Give one with -p or set the environment variable VELTRAW_PORT (the settings file %1 has no usable port either).</translation>
    </message>
    <message>
        <source>COM番号「%1」が正しくありません（1以上）。</source>
        <translation>COM number &quot;%1&quot; is not valid (1 or more).</translation>
    </message>
    <message>
        <source>[Ports] の対応</source>
        <translation>mapped by [Ports]</translation>
    </message>
    <message>
        <source>~/.wine/dosdevices のリンク</source>
        <translation>linked in ~/.wine/dosdevices</translation>
    </message>
    <message>
        <source>標準の対応</source>
        <translation>standard mapping</translation>
    </message>
    <message>
        <source>設定ファイル %1 の COM%2、%3</source>
        <translation>COM%2 in the settings file %1, %3</translation>
    </message>
    <message>
        <source>%1 の COM%2、%3</source>
        <translation>COM%2 from %1, %3</translation>
    </message>
    <message>
        <source>ポート: %1（%2）</source>
        <translation>Port: %1 (%2)</translation>
    </message>
    <message>
        <source>ライタとの接続を確認しています...</source>
        <translation>Checking the link to the writer...</translation>
    </message>
    <message>
        <source>%1 のライタから応答がありません。ライタの電源、ケーブル、ポートの指定を確認してください。</source>
        <translation>No answer from the writer on %1. Check the writer&apos;s power, the cable and the port given.</translation>
    </message>
    <message>
        <source>通信中にポート %1 が使えなくなりました（%2）。ケーブルの接続を確認してください。</source>
        <translation>Port %1 became unusable during communication (%2). Check the cable.</translation>
    </message>
    <message>
        <source>中断します。ライタをコマンド待ちに戻しています...</source>
        <translation>Interrupting. Returning the writer to waiting for commands...</translation>
    </message>
    <message>
        <source>中断しました。</source>
        <translation>Interrupted.</translation>
    </message>
    <message>
        <source>%1 → はい（コマンドラインでの指定どおり）</source>
        <translation>%1 → Yes (as given on the command line)</translation>
    </message>
    <message>
        <source>ライタの応答が途中でなくなりました。</source>
        <translation>The writer stopped answering part-way.</translation>
    </message>
    <message>
        <source>ライタからファームウェアバージョンの応答がありませんでした。</source>
        <translation>The writer did not answer with its firmware version.</translation>
    </message>
    <message>
        <source>ライタの応答がなくなりました（書込み済み %1 / %2 バイト）。もう一度実行してください。</source>
        <translation>The writer stopped answering (bytes written: %1 of %2). Run it again.</translation>
    </message>
    <message>
        <source>0000h〜%1h を書込みました。%2h 以降は書込まれていません。</source>
        <translation>0000h-%1h written; %2h onwards not written.</translation>
    </message>
    <message>
        <source>ファイルのプログラムワードはすべて書込みました。</source>
        <translation>Every program word of the file was written.</translation>
    </message>
    <message>
        <source>プログラムメモリはファイルのとおり書込みました（0000h〜%1h）。</source>
        <translation>Program memory written as in the file (0000h-%1h).</translation>
    </message>
    <message>
        <source>プログラムメモリには何も書込んでいません。</source>
        <translation>Nothing written to program memory.</translation>
    </message>
    <message>
        <source>%1h は送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。</source>
        <translation>%1h was sent but its write was not confirmed: whether it was written is unknown.</translation>
    </message>
    <message>
        <source>コンフィグレーションワードは書込みました。</source>
        <translation>The configuration word was written.</translation>
    </message>
    <message>
        <source>コンフィグレーションワードは送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。</source>
        <translation>The configuration word was sent but its write was not confirmed: whether it was written is unknown.</translation>
    </message>
    <message>
        <source>コンフィグレーションワードは書込まれていません。</source>
        <translation>The configuration word was not written.</translation>
    </message>
    <message>
        <source>PICは書きかけです。全消去してから、もう一度書込んでください。</source>
        <translation>The PIC is half-written. Erase it, then write again.</translation>
    </message>
    <message>
        <source>PICは元のままです。もう一度書込んでください。</source>
        <translation>The PIC is unchanged. Write again.</translation>
    </message>
    <message>
        <source>EEPROM の %1h は書込まれていません。</source>
        <translation>EEPROM %1h was not written.</translation>
    </message>
    <message>
        <source>EEPROM は %1 / %2 バイトを書込みました。</source>
        <translation>EEPROM bytes written: %1 of %2.</translation>
    </message>
    <message>
        <source>%1h 以降は書込まれていません。</source>
        <translation> %1h onwards not written.</translation>
    </message>
    <message>
        <source>もう一度書込んでください。</source>
        <translation>Write again.</translation>
    </message>
    <message>
        <source>全消去はしていません。PICは元のままです。</source>
        <translation>Nothing was erased. The PIC is unchanged.</translation>
    </message>
    <message>
        <source>ファイル %1 がありません。</source>
        <translation>File %1 does not exist.</translation>
    </message>
    <message>
        <source>%1 は通常のファイルではありません。</source>
        <translation>%1 is not a regular file.</translation>
    </message>
    <message>
        <source>ファイル %1 を読めません（読む権限を確認してください）。</source>
        <translation>Cannot read file %1 (check the read permission).</translation>
    </message>
    <message>
        <source>%1 はフォルダなので、ファイルとして保存できません。</source>
        <translation>%1 is a folder: cannot save a file there.</translation>
    </message>
    <message>
        <source>%1 に保存できません: フォルダ %2 がありません。</source>
        <translation>Cannot save to %1: folder %2 does not exist.</translation>
    </message>
    <message>
        <source>%1 に保存できません: 書込む権限がありません。</source>
        <translation>Cannot save to %1: no write permission.</translation>
    </message>
    <message>
        <source>%1 に保存できませんでした: %2（書きかけのファイルは残していません）</source>
        <translation>Could not save to %1: %2 (no half-written file is left)</translation>
    </message>
    <message>
        <source>%1 に保存しました。</source>
        <translation>Saved to %1.</translation>
    </message>
    <message>
        <source>%1 行目: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>ファイルに誤りがあるので、ライタには何も送っていません。</source>
        <translation>The file has errors, so nothing was sent to the writer.</translation>
    </message>
    <message>
        <source>
このまま書込むときは --force を付けてください。</source>
        <translation>
To write it as it is, add --force.</translation>
    </message>
    <message>
        <source>ファイルに書込むプログラムワードがありません。コンフィグレーションワードだけを書込みます。</source>
        <translation>The file has no program words to write. Writing the configuration word only.</translation>
    </message>
    <message>
        <source>ファイルにデータEEPROMのレコード（4200h〜427Fh）がありません。データEEPROMはそのままです。</source>
        <translation>The file has no data EEPROM records (4200h-427Fh). Data EEPROM is left as it is.</translation>
    </message>
    <message>
        <source>ファイルにはデータEEPROMのデータが %1 バイトありますが、書込みません（--eeprom で書込みます）。</source>
        <translation>Data EEPROM bytes in the file: %1; not written (--eeprom writes them).</translation>
    </message>
    <message>
        <source>ファイルにはデータEEPROMのデータが %1 バイトありますが、照合しません（--eeprom で照合します）。</source>
        <translation>Data EEPROM bytes in the file: %1; not verified (--eeprom verifies them).</translation>
    </message>
    <message>
        <source>--config で指定</source>
        <translation>given with --config</translation>
    </message>
    <message>
        <source>ファイルの 2007h、%1 行目</source>
        <translation>the file&apos;s 2007h, line %1</translation>
    </message>
    <message>
        <source>設定ファイル %1 の [Config] word</source>
        <translation>[Config] word of the settings file %1</translation>
    </message>
    <message>
        <source>ファイルにも設定ファイルにもないので既定値</source>
        <translation>the default: neither the file nor the settings file has one</translation>
    </message>
    <message>
        <source>書込んだコンフィグレーションワードは %1h です（予定は %2h でした）。</source>
        <translation>The configuration word written is %1h (%2h was planned).</translation>
    </message>
    <message>
        <source>照合はしていません（--no-verify）。</source>
        <translation>Not verified (--no-verify).</translation>
    </message>
    <message>
        <source>書込んだ内容を読出して照合します...</source>
        <translation>Reading back and verifying what was written...</translation>
    </message>
    <message>
        <source>プログラムメモリは消去されています（1024 ワードすべて 3FFFh）。</source>
        <translation>Program memory is erased (all 1024 words 3FFFh).</translation>
    </message>
    <message>
        <source>プログラムメモリに消去されていないワードが %1 個あります。</source>
        <translation>Program memory words not erased: %1.</translation>
    </message>
    <message>
        <source>「%1」は10進数の整数ではありません（ウィンドウ版は 0 として書込みます）。</source>
        <translation>&quot;%1&quot; is not a decimal integer (the window program writes it as 0).</translation>
    </message>
    <message>
        <source>値 %1 は 0〜255 の範囲を超えています。</source>
        <translation>Value %1 is outside 0 to 255.</translation>
    </message>
    <message>
        <source>アドレスの欄は「%1」ですが、次の値はアドレス %2 に書込まれます（値は並んだ順に書込まれます）。</source>
        <translation>The address field says &quot;%1&quot;, but the next value goes to address %2 (values are written in the order they come).</translation>
    </message>
    <message>
        <source>アドレスの欄が合わない行がほかに %1 か所あります。</source>
        <translation>Other lines whose address field does not match: %1.</translation>
    </message>
    <message>
        <source>ここから先の値は使われません（使うのは最初の %1 個です）。</source>
        <translation>The values from here on are not used (only the first %1 are).</translation>
    </message>
    <message>
        <source>値が %1 個しかありません。%2 個（「アドレス,値」を 64 行）必要です。</source>
        <translation>Values found: %1; %2 are needed (64 lines of &quot;address,value&quot;).</translation>
    </message>
    <message>
        <source>アドレス %1 の値を読み違えました。</source>
        <translation>The value for address %1 was misread.</translation>
    </message>
    <message>
        <source>データファイルに誤りがあるので、ライタには何も送っていません。</source>
        <translation>The data file has errors, so nothing was sent to the writer.</translation>
    </message>
    <message>
        <source>データEEPROM のアドレス %1h に %2h を書込みました（読出して確かめました）。</source>
        <translation>Wrote %2h to data EEPROM address %1h (read back and checked).</translation>
    </message>
    <message>
        <source>データEEPROMを全消去しました（64 バイトすべて FFh）。</source>
        <translation>Data EEPROM erased (all 64 bytes FFh).</translation>
    </message>
    <message>
        <source>シリアルポートが見つかりません。</source>
        <translation>No serial ports found.</translation>
    </message>
    <message>
        <source>デバイス</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>シリアル番号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>説明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>レイテンシタイマ</source>
        <translation>Latency timer</translation>
    </message>
    <message>
        <source>~/.wine/dosdevices のリンクが指すデバイス</source>
        <translation>the device a ~/.wine/dosdevices link points to</translation>
    </message>
    <message>
        <source>設定ファイルの [Ports] が指すデバイス</source>
        <translation>the device the settings file&apos;s [Ports] names</translation>
    </message>
    <message>
        <source>使えます</source>
        <translation>usable</translation>
    </message>
    <message>
        <source>見つかりません</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>開く権限がありません（dialout グループに加わってください）</source>
        <translation>no permission to open (join the dialout group)</translation>
    </message>
    <message>
        <source>使用中（%1、プロセス %2）</source>
        <translation>in use (%1, process %2)</translation>
    </message>
    <message>
        <source>使用中</source>
        <translation>in use</translation>
    </message>
    <message>
        <source>開けません（%1）</source>
        <translation>cannot open (%1)</translation>
    </message>
    <message>
        <source>標準入力</source>
        <translation>standard input</translation>
    </message>
    <message>
        <source>ファイル: %1  PIC: %2</source>
        <translation>file: %1  PIC: %2</translation>
    </message>
    <message>
        <source>ファイル: %1 / PIC: %2</source>
        <translation>file: %1 / PIC: %2</translation>
    </message>
    <message>
        <source>
     対処: </source>
        <translation>
     Remedy: </translation>
    </message>
    <message>
        <source>%1 に保存して読み込み直すには:
  %2</source>
        <translation>To save it as %1 and reload the rules:
  %2</translation>
    </message>
    <message>
        <source>%1 を診断します。</source>
        <translation>Diagnosing %1.</translation>
    </message>
    <message>
        <source>erase で</source>
        <translation>with the erase command</translation>
    </message>
    <message>
        <source>%1-%2:  3fff  未使用 (%3 ワード)</source>
        <translation>%1-%2:  3fff  unused (%3 words)</translation>
    </message>
    <message>
        <source>%1 にはプログラムメモリ（0000h〜03FFh）のワードがありません。</source>
        <translation>%1 has no program memory words (0000h-03FFh).</translation>
    </message>
    <message>
        <source>%1 には HEX ファイルを指定してください。</source>
        <translation>%1 needs a HEX file.</translation>
    </message>
    <message>
        <source>シリアルポートの一覧（COM番号、使用中か、USBの情報）</source>
        <translation>List the serial ports (COM numbers, whether in use, USB details)</translation>
    </message>
    <message>
        <source>FILE.hex [--config ワード] [--no-verify] [--eeprom] [--force]</source>
        <translation>FILE.hex [--config WORD] [--no-verify] [--eeprom] [--force]</translation>
    </message>
    <message>
        <source>プログラムメモリとコンフィグレーションワードを書込み、読出して照合</source>
        <translation>Write program memory and configuration word; read back and verify</translation>
    </message>
    <message>
        <source>FILE.hex [--config ワード] [--eeprom] [--listing]</source>
        <translation>FILE.hex [--config WORD] [--eeprom] [--listing]</translation>
    </message>
    <message>
        <source>PICの内容をファイルと照合（違いはすべて表示）</source>
        <translation>Verify the PIC against the file (every difference shown)</translation>
    </message>
    <message>
        <source>プログラムメモリとID/コンフィグレーションワードをIntel HEXで保存</source>
        <translation>Save program memory and the ID/configuration words as Intel HEX</translation>
    </message>
    <message>
        <source>プログラムメモリを全消去</source>
        <translation>Erase program memory</translation>
    </message>
    <message>
        <source>プログラムメモリが消去されているか調べる</source>
        <translation>Check that program memory is erased</translation>
    </message>
    <message>
        <source>データEEPROMを4行x16バイトの表で表示（-o でデータファイルに保存）</source>
        <translation>Show data EEPROM as 4 rows x 16 bytes (-o saves it as a data file)</translation>
    </message>
    <message>
        <source>データファイル（/F と同じ形式）でデータEEPROM全体を書込み</source>
        <translation>Write all of data EEPROM from a data file (the /F format)</translation>
    </message>
    <message>
        <source>eeprom write にはデータファイルを指定してください。</source>
        <translation>eeprom write needs a data file.</translation>
    </message>
    <message>
        <source>1バイト書込み（16進数: アドレス 00〜3F、値 00〜FF）</source>
        <translation>Write one byte (hexadecimal: address 00-3F, value 00-FF)</translation>
    </message>
    <message>
        <source>eeprom set にはアドレスと値を指定してください（例: eeprom set 3F A5）。</source>
        <translation>eeprom set needs an address and a value (e.g. eeprom set 3F A5).</translation>
    </message>
    <message>
        <source>データEEPROMを全消去</source>
        <translation>Erase data EEPROM</translation>
    </message>
    <message>
        <source>コンフィグレーションレジスタを読出して表示</source>
        <translation>Read and show the configuration register</translation>
    </message>
    <message>
        <source>ライタのファームウェアバージョン</source>
        <translation>Show the writer&apos;s firmware version</translation>
    </message>
    <message>
        <source>FILE.hex [write のオプション ...]</source>
        <translation>FILE.hex [write options ...]</translation>
    </message>
    <message>
        <source>ファイルが変わるたびに書込んで照合（変更が止まって 300 ms 後）。Ctrl+C で終了</source>
        <translation>Write and verify each time the file changes (300 ms after
the changes stop). Ctrl+C ends</translation>
    </message>
    <message>
        <source>ポートからPICまでの接続診断（--deep でプログラムメモリも読む、--udev-rule でアダプタ用の udev 規則を表示）</source>
        <translation>Diagnose the path from the port to the PIC (--deep also reads
program memory, --udev-rule shows a udev rule for the adapter)</translation>
    </message>
    <message>
        <source>HEXファイル（- は標準入力）を gpdasm と同じ形で逆アセンブル</source>
        <translation>Disassemble a HEX file (- for standard input) as gpdasm does</translation>
    </message>
    <message>
        <source>disasm には HEX ファイルを指定してください（標準入力なら -）。</source>
        <translation>disasm needs a HEX file (- for standard input).</translation>
    </message>
    <message>
        <source>コンフィグレーションワード: %1h（%2）→ %3h: %4</source>
        <translation>Configuration word: %1h (%2) → %3h: %4</translation>
    </message>
</context>
<context>
    <name>prod</name>
    <message>
        <source>
量産と書換えの繰返し:
  -p ポート,ポート  -p を複数（またはカンマ区切り）で、全ポートで同時に実行（write、verify、erase、
                    blank-check、eeprom write/set/erase）。終了コードは最初に失敗したポートのもの
  --serial eeprom:ADDR:LEN | retlw:ADDR:LEN
                    シリアル番号を書込む場所: データEEPROMの LEN バイト、またはプログラムメモリの
                    LEN 個の retlw 命令（34kkh）。上位バイトが先（--serial-le で下位バイトが先）
  --serial-counter FILE  番号をカウンタファイルから取る（--serial-start N: ファイルがないときの
                    最初の番号、--serial-step K: 増分、省略すると 1）
  --serial-list FILE     番号をリスト（1行に1つ）の未使用のものから取る
  --log FILE|-      1台ごとに1行（JSON Lines）を追記する。write、erase、eeprom write/set/erase、watch
  数値は10進数または 0x…。番号は書込みの開始時に取り、失敗しても二度と使いません。
</source>
        <translation>
Production and repeated rewriting:
  -p PORT,PORT      Several -p (or a comma-separated list): run on every port at once (write,
                    verify, erase, blank-check, eeprom write/set/erase). The exit status is that
                    of the first port that failed
  --serial eeprom:ADDR:LEN | retlw:ADDR:LEN
                    Where to write a serial number: LEN bytes of data EEPROM, or LEN retlw
                    instructions (34kkh) in program memory. High byte first (--serial-le: low
                    byte first)
  --serial-counter FILE  Take numbers from a counter file (--serial-start N: the first number
                    when there is no file, --serial-step K: the increment, 1 if left out)
  --serial-list FILE     Take unused numbers from a list (one per line)
  --log FILE|-      Append one line (JSON Lines) per unit: write, erase, eeprom write/set/erase,
                    watch
  Numbers are decimal or 0x…. A number is taken as its write starts and never used again, even
  if the write fails.
</translation>
    </message>
    <message>
        <source>%1 の値「%2」が正しくありません（10進数または 0x…）。</source>
        <translation>The value &quot;%2&quot; of %1 is not valid (decimal or 0x…).</translation>
    </message>
    <message>
        <source>--serial の「%1」が正しくありません（eeprom:ADDR:LEN または retlw:ADDR:LEN、LEN は 1〜7）。</source>
        <translation>&quot;%1&quot; for --serial is not valid (eeprom:ADDR:LEN or retlw:ADDR:LEN, LEN 1 to 7).</translation>
    </message>
    <message>
        <source>--serial には番号の取り方（--serial-counter FILE または --serial-list FILE）も指定してください。</source>
        <translation>--serial also needs where the numbers come from (--serial-counter FILE or --serial-list FILE).</translation>
    </message>
    <message>
        <source>%1 は --serial-counter と一緒に指定してください。</source>
        <translation>%1 needs --serial-counter as well.</translation>
    </message>
    <message>
        <source>%1 は --serial と一緒に指定してください。</source>
        <translation>%1 needs --serial as well.</translation>
    </message>
    <message>
        <source>--serial-counter と --serial-list は一緒に使えません。</source>
        <translation>--serial-counter and --serial-list cannot be used together.</translation>
    </message>
    <message>
        <source>--json のときは --log - は使えません（標準出力は JSON だけにします）。ファイル名を指定してください。</source>
        <translation>With --json, --log - cannot be used (standard output carries JSON only). Give a file name.</translation>
    </message>
    <message>
        <source>%1 は複数のポートでは実行できません（write、verify、erase、blank-check、eeprom write/set/erase だけです）。</source>
        <translation>%1 cannot run on several ports (only write, verify, erase, blank-check, eeprom write/set/erase can).</translation>
    </message>
    <message>
        <source>ポート %1 が2回指定されています。</source>
        <translation>Port %1 is given twice.</translation>
    </message>
    <message>
        <source>シリアル番号（%1 の %2 から %3 %4）が%1の外にはみ出します（%5 %4まで）。</source>
        <translation>The serial number&apos;s place (%1 from %2, %4: %3) runs past the end of %1 (%4 in all: %5).</translation>
    </message>
    <message>
        <source>データEEPROM</source>
        <translation>data EEPROM</translation>
    </message>
    <message>
        <source>プログラムメモリ</source>
        <translation>program memory</translation>
    </message>
    <message>
        <source>バイト</source>
        <translation>bytes</translation>
    </message>
    <message>
        <source>ワード</source>
        <translation>words</translation>
    </message>
    <message>
        <source>シリアル番号の場所 %1 %2h に HEX ファイルのデータがあります。</source>
        <translation>The HEX file has data where the serial number goes: %1 %2h.</translation>
    </message>
    <message>
        <source>シリアル番号 %1 は %2 バイトに入りません。</source>
        <translation>Serial number %1 is too large for its length (bytes: %2).</translation>
    </message>
    <message>
        <source>%1 のロックがほかのプロセスから解放されません。</source>
        <translation>Another process does not release its lock on %1.</translation>
    </message>
    <message>
        <source>%1 をロックできません: %2</source>
        <translation>Cannot lock %1: %2</translation>
    </message>
    <message>
        <source>番号リスト %1 がありません。</source>
        <translation>Number list %1 does not exist.</translation>
    </message>
    <message>
        <source>%1 を読めません: %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>%1 に結果を書けません（ファイルが書換えられています）。</source>
        <translation>Cannot record the result in %1 (the file was changed meanwhile).</translation>
    </message>
    <message>
        <source>%1 を書けません: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>フォルダに書込めません</source>
        <translation>cannot write to the folder</translation>
    </message>
    <message>
        <source>カウンタファイル %1 がありません。新しく始めるときは --serial-start で最初の番号を指定してください。</source>
        <translation>Counter file %1 does not exist. To start afresh, give the first number with --serial-start.</translation>
    </message>
    <message>
        <source>カウンタファイル %1 の中身が番号（10進数または 0x…）ではありません。</source>
        <translation>Counter file %1 does not hold a number (decimal or 0x…).</translation>
    </message>
    <message>
        <source>カウンタファイル %1 の番号がこれ以上増やせません。</source>
        <translation>The number in counter file %1 cannot go any higher.</translation>
    </message>
    <message>
        <source>番号リスト %1 の %2 行目が番号（10進数または 0x…）ではありません。</source>
        <translation>Line %2 of number list %1 is not a number (decimal or 0x…).</translation>
    </message>
    <message>
        <source>番号リスト %1 の %2 行目と %3 行目が同じ番号です。</source>
        <translation>Lines %2 and %3 of number list %1 hold the same number.</translation>
    </message>
    <message>
        <source>番号リスト %1 に未使用の番号が残っていません。</source>
        <translation>Number list %1 has no unused numbers left.</translation>
    </message>
    <message>
        <source>シリアル番号: %1（0x%2、%3）</source>
        <translation>Serial number: %1 (0x%2, %3)</translation>
    </message>
    <message>
        <source>シリアル番号 %1 は失敗として記録しました（再使用しません）。</source>
        <translation>Serial number %1 recorded as failed (it will not be used again).</translation>
    </message>
    <message>
        <source>1行を書き切れませんでした</source>
        <translation>the line was not written whole</translation>
    </message>
    <message>
        <source>ログ %1 に書けません: %2</source>
        <translation>Cannot write to log %1: %2</translation>
    </message>
    <message>
        <source>合格 %1 / 不合格 %2 / 計 %3</source>
        <translation>Passed %1 / failed %2 / total %3</translation>
    </message>
    <message>
        <source>接続中</source>
        <translation>connecting</translation>
    </message>
    <message>
        <source>完了</source>
        <translation>done</translation>
    </message>
    <message>
        <source>失敗（終了コード %1）</source>
        <translation>failed (exit status %1)</translation>
    </message>
    <message>
        <source>失敗（終了コード %1）: %2</source>
        <translation>failed (exit status %1): %2</translation>
    </message>
    <message>
        <source>失敗したポート: %1</source>
        <translation>Failed ports: %1</translation>
    </message>
    <message>
        <source>そのポートだけやり直すには: %1</source>
        <translation>To retry those ports only: %1</translation>
    </message>
    <message>
        <source>%1 の処理を始められません: %2</source>
        <translation>Cannot start the run for %1: %2</translation>
    </message>
    <message>
        <source>%1 の変更を待っています（Ctrl+C で終了）。</source>
        <translation>Waiting for %1 to change (Ctrl+C ends).</translation>
    </message>
    <message>
        <source>%1 は書きかけのようです（終了レコードがないか、読めない行があります）。次の変更を待ちます。</source>
        <translation>%1 looks half-written (no end record, or unreadable lines). Waiting for the next change.</translation>
    </message>
    <message>
        <source>コンフィグレーションワードが前回と違います: %1h → %2h</source>
        <translation>The configuration word differs from last time: %1h → %2h</translation>
    </message>
    <message>
        <source>書込み・照合完了（%1 秒）</source>
        <translation>written and verified (%1 s)</translation>
    </message>
    <message>
        <source>失敗（終了コード %1、%2 秒）</source>
        <translation>failed (exit status %1, %2 s)</translation>
    </message>
    <message>
        <source>失敗（終了コード %1、%2 秒）: %3</source>
        <translation>failed (exit status %1, %2 s): %3</translation>
    </message>
</context>
</TS>
