<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>about</name>
    <message>
        <source>ファームウェアバージョン %1.%2</source>
        <translation>Firmware version %1.%2</translation>
    </message>
</context>
<context>
    <name>configword</name>
    <message>
        <source>オシレータ %1、ウォッチドッグタイマ %2、パワーアップタイマ %3、コードプロテクト %4</source>
        <translation>oscillator %1, watchdog timer %2, power-up timer %3, code protection %4</translation>
    </message>
</context>
<context>
    <name>datafile</name>
    <message>
        <source>ファイルがありません: %1</source>
        <translation>No such file: %1</translation>
    </message>
    <message>
        <source>通常のファイルではありません: %1</source>
        <translation>Not a regular file: %1</translation>
    </message>
    <message>
        <source>%1 を読めません。</source>
        <translation>Cannot read %1.</translation>
    </message>
</context>
<context>
    <name>diagnosis</name>
    <message>
        <source>確認できませんでした（%1）。</source>
        <translation>Not checked (%1).</translation>
    </message>
    <message>
        <source>先に上の問題を解決してください。</source>
        <translation>Solve the problem above first.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>。</source>
        <comment>between sentences</comment>
        <translation>. </translation>
    </message>
    <message>
        <source>。</source>
        <comment>after the last sentence</comment>
        <translation>.</translation>
    </message>
    <message>
        <source>シリアル番号なし</source>
        <translation>no serial number</translation>
    </message>
    <message>
        <source>シリアル番号 %1</source>
        <translation>serial number %1</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source> に tty がありません（ドライバ: %1）</source>
        <translation> has no tty (driver: %1)</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>none</translation>
    </message>
    <message>
        <source>通信中にポートが使えなくなりました（%1）。</source>
        <translation>The port became unusable during the exchange (%1).</translation>
    </message>
    <message>
        <source>ケーブルとアダプタの接続を確認してから、もう一度診断してください。</source>
        <translation>Check the cable and the adapter, then run the diagnosis again.</translation>
    </message>
    <message>
        <source>疑似端末（シミュレータなど）</source>
        <translation>pseudo-terminal (a simulator or the like)</translation>
    </message>
    <message>
        <source>ドライバ %1</source>
        <translation>driver %1</translation>
    </message>
    <message>
        <source>%1 があります。%2</source>
        <translation>%1 is present. %2</translation>
    </message>
    <message>
        <source>%1 が見つかりません</source>
        <translation>%1 not found</translation>
    </message>
    <message>
        <source>シリアルデバイスはひとつもありません</source>
        <translation>there are no serial devices at all</translation>
    </message>
    <message>
        <source>あるシリアルデバイス: %1</source>
        <translation>serial devices present: %1</translation>
    </message>
    <message>
        <source>PID が 0000 の FTDI チップ（偽造品が書き換えられたもの）です。ドライバに認識させるには: sudo modprobe ftdi_sio &amp;&amp; echo 0403 0000 | sudo tee /sys/bus/usb-serial/drivers/ftdi_sio/new_id</source>
        <translation>An FTDI chip with PID 0000 (a counterfeit that was overwritten). To make the driver take it: sudo modprobe ftdi_sio &amp;&amp; echo 0403 0000 | sudo tee /sys/bus/usb-serial/drivers/ftdi_sio/new_id</translation>
    </message>
    <message>
        <source>点字ディスプレイ用の brltty がアダプタを横取りしています。点字ディスプレイを使わないなら sudo apt remove brltty を実行し、アダプタを差し直してください。</source>
        <translation>brltty, the braille display driver, is taking the adapter. If you use no braille display, run sudo apt remove brltty and plug the adapter in again.</translation>
    </message>
    <message>
        <source>ケーブルとアダプタを差し直してください。</source>
        <translation>Plug the cable and the adapter in again.</translation>
    </message>
    <message>
        <source>ケーブルを確かめ、-p であるデバイスを指定してください（例: -p %1）。</source>
        <translation>Check the cable, and give a device that is present with -p (e.g. -p %1).</translation>
    </message>
    <message>
        <source>%1 に権限の制限はありません。</source>
        <translation>%1 has no permission restrictions.</translation>
    </message>
    <message>
        <source>%1 の属性が読めません</source>
        <translation>cannot read the attributes of %1</translation>
    </message>
    <message>
        <source>ユーザー %1 は %2 を開けます。</source>
        <translation>User %1 may open %2.</translation>
    </message>
    <message>
        <source>ユーザー %1 は %2 グループに登録されていますが、今のログインにはまだ反映されていません。</source>
        <translation>User %1 is a member of group %2, but the current login does not have it yet.</translation>
    </message>
    <message>
        <source>いったんログアウトして、ログインし直してください。</source>
        <translation>Log out and log in again.</translation>
    </message>
    <message>
        <source>%1 は %2 グループのものですが、ユーザー %3 はこのグループに入っていません。</source>
        <translation>%1 belongs to group %2, but user %3 is not a member of it.</translation>
    </message>
    <message>
        <source>sudo usermod -aG %1 %2 を実行し、ログインし直してください。</source>
        <translation>Run sudo usermod -aG %1 %2 and log in again.</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>開いているプロセス: %1。</source>
        <translation> Processes that have it open: %1.</translation>
    </message>
    <message>
        <source>このプログラム自身が %1 で使用中です（%2）。</source>
        <translation>This program itself is using %1 (%2).</translation>
    </message>
    <message>
        <source>その操作が終わってから、もう一度診断してください。</source>
        <translation>Run the diagnosis again when that operation has finished.</translation>
    </message>
    <message>
        <source>このプログラムが開いている %1 をそのまま使います。</source>
        <translation>Using %1, which this program has open.</translation>
    </message>
    <message>
        <source>%1 は開けました。</source>
        <translation>%1 opened.</translation>
    </message>
    <message>
        <source>そのプログラムを終了するかポートを閉じてから、もう一度診断してください。</source>
        <translation>Quit that program or close the port, then run the diagnosis again.</translation>
    </message>
    <message>
        <source>ログインし直してから、もう一度診断してください。</source>
        <translation>Log in again, then run the diagnosis again.</translation>
    </message>
    <message>
        <source>シリアルポートではないか、アダプタが故障しています。-p で別のデバイスを指定してください。</source>
        <translation>Not a serial port, or the adapter is faulty. Give another device with -p.</translation>
    </message>
    <message>
        <source>ModemManager が動いていて、%1 を無視する設定（ID_MM_DEVICE_IGNORE）がありません。新しいポートに AT コマンドを送り、最初の通信を乱すことがあります</source>
        <translation>ModemManager is running and has no setting to ignore %1 (ID_MM_DEVICE_IGNORE). It may send AT commands to a new port and disturb the first exchange</translation>
    </message>
    <message>
        <source>udev 規則で除外してください（veltraw-cli doctor --udev-rule）。モデムを使わないなら sudo systemctl disable --now ModemManager でも構いません。</source>
        <translation>Exclude it with a udev rule (veltraw-cli doctor --udev-rule). If you use no modem, sudo systemctl disable --now ModemManager also does.</translation>
    </message>
    <message>
        <source>点字ディスプレイ用の brltty が動いていて、%1 のアダプタがつながっています。brltty はこの種のアダプタを横取りし、tty を消してしまいます</source>
        <translation>brltty, the braille display driver, is running and a %1 adapter is connected. brltty takes adapters of this kind and removes their tty</translation>
    </message>
    <message>
        <source>・</source>
        <translation>/</translation>
    </message>
    <message>
        <source>点字ディスプレイを使わないなら sudo apt remove brltty を実行し、アダプタを差し直してください。</source>
        <translation>If you use no braille display, run sudo apt remove brltty and plug the adapter in again.</translation>
    </message>
    <message>
        <source>ModemManager はこのデバイスを無視します</source>
        <translation>ModemManager ignores this device</translation>
    </message>
    <message>
        <source>ModemManager は USB シリアルデバイスにしか触れません</source>
        <translation>ModemManager touches only USB serial devices</translation>
    </message>
    <message>
        <source>ModemManager は動いていません</source>
        <translation>ModemManager is not running</translation>
    </message>
    <message>
        <source>brltty が横取りしそうなアダプタはありません</source>
        <translation>no adapter that brltty would take</translation>
    </message>
    <message>
        <source>brltty は動いていません</source>
        <translation>brltty is not running</translation>
    </message>
    <message>
        <source>デバイスがありません</source>
        <translation>no device</translation>
    </message>
    <message>
        <source>疑似端末なので USB アダプタはありません。</source>
        <translation>A pseudo-terminal, so there is no USB adapter.</translation>
    </message>
    <message>
        <source>USB アダプタではありません（%1）。</source>
        <translation>Not a USB adapter (%1).</translation>
    </message>
    <message>
        <source>内蔵シリアルポート</source>
        <translation>built-in serial port</translation>
    </message>
    <message>
        <source>レイテンシタイマーが %1 ms で、低遅延モードは認められませんでした。</source>
        <translation>The latency timer is %1 ms; low-latency mode was refused.</translation>
    </message>
    <message>
        <source>レイテンシタイマーが %1 ms です。</source>
        <translation>The latency timer is %1 ms.</translation>
    </message>
    <message>
        <source>%1返事のたびに最大 %2 ms 待たされ、書き込みが数倍遅くなります</source>
        <translation>%1 Each reply waits up to %2 ms, and writing becomes several times slower</translation>
    </message>
    <message>
        <source>今すぐ 1 ms にするには: %1 。常にそうするには udev 規則を入れてください（veltraw-cli doctor --udev-rule）。</source>
        <translation>To set it to 1 ms now: %1 . To make it so always, install a udev rule (veltraw-cli doctor --udev-rule).</translation>
    </message>
    <message>
        <source>偽造 FTDI チップの特徴があります（%1）</source>
        <translation>It shows the signs of a counterfeit FTDI chip (%1)</translation>
    </message>
    <message>
        <source>よく知られた偽造品のシリアル番号</source>
        <translation>a well-known counterfeit serial number</translation>
    </message>
    <message>
        <source>通信が不安定なら、正規品のアダプタに替えてください。</source>
        <translation>If communication is unreliable, replace it with a genuine adapter.</translation>
    </message>
    <message>
        <source>アダプタにシリアル番号がありません。同じ種類のアダプタを 2 台つなぐと区別できません</source>
        <translation>The adapter has no serial number; two adapters of the same kind cannot be told apart</translation>
    </message>
    <message>
        <source>同じ種類のアダプタは 1 台だけつなぐか、差し込み口で決まる /dev/serial/by-path の名前を使ってください。</source>
        <translation>Connect only one adapter of this kind, or use its /dev/serial/by-path name, which follows the USB socket.</translation>
    </message>
    <message>
        <source>、レイテンシタイマー %1 ms</source>
        <translation>, latency timer %1 ms</translation>
    </message>
    <message>
        <source>ライタが途中で応答しなくなりました。</source>
        <translation>The writer stopped answering.</translation>
    </message>
    <message>
        <source>ライタの電源とケーブルを確認してください。</source>
        <translation>Check the writer&apos;s power and the cable.</translation>
    </message>
    <message>
        <source>ライタが応答しません（&quot;S&quot; を %1 回送り、%2 秒ずつ待ちました）。</source>
        <translation>The writer does not answer (&quot;S&quot; sent %1 times, waiting %2 s each).</translation>
    </message>
    <message>
        <source>ライタの電源、ケーブル、ポートの指定を確認してください。</source>
        <translation>Check the writer&apos;s power, the cable and the port given.</translation>
    </message>
    <message>
        <source>&quot;S&quot; に &quot;s&quot; ではなく別のバイト（%1）が返りました。通信速度が 4800 baud でないか、ライタではない機器です。</source>
        <translation>&quot;S&quot; was answered with other bytes (%1) instead of &quot;s&quot;. The speed is not 4800 baud, or the device is not the writer.</translation>
    </message>
    <message>
        <source>ライタがつながっているポートか、ほかの機器（モデムなど）ではないかを確認してください。</source>
        <translation>Check that the writer is on this port and that it is not another device (such as a modem).</translation>
    </message>
    <message>
        <source>中断しました</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>リンク確認（&quot;S&quot;）に応答しました。往復 %1 ms（4800 baud での目安 %2 ms）</source>
        <translation>Answered the link check (&quot;S&quot;). Round trip %1 ms (%2 ms expected at 4800 baud)</translation>
    </message>
    <message>
        <source>%1が、ファームウェアのバージョン（&quot;@&quot;）には答えませんでした。</source>
        <translation>%1, but did not answer the firmware version request (&quot;@&quot;).</translation>
    </message>
    <message>
        <source>ライタの電源を入れ直してから、もう一度診断してください。</source>
        <translation>Power the writer off and on, then run the diagnosis again.</translation>
    </message>
    <message>
        <source>USB アダプタのレイテンシタイマー（%1 ms）が返事を溜めています</source>
        <translation>the USB adapter&apos;s latency timer (%1 ms) holds back the replies</translation>
    </message>
    <message>
        <source>USB アダプタが返事を溜めているようです</source>
        <translation>the USB adapter seems to hold back the replies</translation>
    </message>
    <message>
        <source>%1。返事が遅すぎます: %2。</source>
        <translation>%1. Replies are too slow: %2.</translation>
    </message>
    <message>
        <source>レイテンシタイマーを 1 ms にしてください: %1</source>
        <translation>Set the latency timer to 1 ms: %1</translation>
    </message>
    <message>
        <source>アダプタの受信待ち時間（レイテンシタイマー）を最小にしてください。</source>
        <translation>Set the adapter&apos;s receive wait (latency timer) to its minimum.</translation>
    </message>
    <message>
        <source>ターゲットボードに電源が入っています。コンフィギュレーションレジスタ %1h: %2</source>
        <translation>The target board is powered. Configuration register %1h: %2</translation>
    </message>
    <message>
        <source>ライタがターゲットボードの電源が入っていないと答えました（&quot;?&quot;）。</source>
        <translation>The writer answered that the target board is not powered (&quot;?&quot;).</translation>
    </message>
    <message>
        <source>ターゲットボードの電源とライタとの接続を確認してください。</source>
        <translation>Check the target board&apos;s power and its connection to the writer.</translation>
    </message>
    <message>
        <source>コンフィギュレーションレジスタの読み出し（&quot;Y&quot;）に正しい返事がありませんでした。</source>
        <translation>Reading the configuration register (&quot;Y&quot;) got no proper answer.</translation>
    </message>
    <message>
        <source>プログラムメモリを読もうとすると、ターゲットボードの電源が入っていないと答えました。</source>
        <translation>Asked to read program memory, the writer answered that the target board is not powered.</translation>
    </message>
    <message>
        <source>ターゲットボードの電源を確認してください。</source>
        <translation>Check the target board&apos;s power.</translation>
    </message>
    <message>
        <source>プログラムメモリの読み出しが途中で止まりました。</source>
        <translation>Reading program memory stopped part way.</translation>
    </message>
    <message>
        <source>ライタとターゲットの接続を確認し、もう一度診断してください。</source>
        <translation>Check the connection between the writer and the target, and run the diagnosis again.</translation>
    </message>
    <message>
        <source>コードプロテクトが有効です。プログラムメモリの中身は読み出せません（%1 語が 3FFFh 以外）。</source>
        <translation>Code protect is on. The contents of program memory cannot be read (words other than 3FFFh: %1).</translation>
    </message>
    <message>
        <source>読み出しや照合が要るなら、消去してから書き込み直してください。</source>
        <translation>If you need to read or verify, erase and write again.</translation>
    </message>
    <message>
        <source>プログラムメモリが全語 0000h と読めました。データ線かクロック線がつながっていないか、PIC がありません。</source>
        <translation>Every word of program memory read as 0000h. The data or clock line is not connected, or there is no PIC.</translation>
    </message>
    <message>
        <source>ICSP の配線（PGD、PGC、MCLR、GND）と PIC の向きを確認してください。</source>
        <translation>Check the ICSP wiring (PGD, PGC, MCLR, GND) and which way round the PIC sits.</translation>
    </message>
    <message>
        <source>プログラムメモリは空です（全語 3FFFh）。コードプロテクトは無効です。</source>
        <translation>Program memory is blank (every word 3FFFh). Code protect is off.</translation>
    </message>
    <message>
        <source>プログラムが書き込まれています（1024 語のうち %1 語）。コードプロテクトは無効です。</source>
        <translation>A program is written (words in use: %1 of 1024). Code protect is off.</translation>
    </message>
    <message>
        <source>開く権限がありません</source>
        <translation>no permission to open it</translation>
    </message>
    <message>
        <source>ポートを開けません</source>
        <translation>the port cannot be opened</translation>
    </message>
    <message>
        <source>ライタが応答しません</source>
        <translation>the writer does not answer</translation>
    </message>
    <message>
        <source>ターゲットを確認できません</source>
        <translation>the target could not be checked</translation>
    </message>
    <message>
        <source>デバイス</source>
        <translation>device</translation>
    </message>
    <message>
        <source>権限</source>
        <translation>permission</translation>
    </message>
    <message>
        <source>使用中</source>
        <translation>in use</translation>
    </message>
    <message>
        <source>横取り</source>
        <translation>port grabbers</translation>
    </message>
    <message>
        <source>アダプタ</source>
        <translation>adapter</translation>
    </message>
    <message>
        <source>ライタ</source>
        <translation>writer</translation>
    </message>
    <message>
        <source>ターゲット</source>
        <translation>target</translation>
    </message>
    <message>
        <source>プログラムメモリ</source>
        <translation>program memory</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>注意</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>異常</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>接続診断: %1</source>
        <translation>Connection diagnosis: %1</translation>
    </message>
    <message>
        <source>（ポート未指定）</source>
        <translation>(no port given)</translation>
    </message>
    <message>
        <source>%1 %2（%3）: %4</source>
        <translation>%1 %2 (%3): %4</translation>
    </message>
    <message>
        <source>     対処: %1</source>
        <translation>     remedy: %1</translation>
    </message>
    <message>
        <source>%1 が見つからないので、規則を作れません。アダプタをつないでから実行してください。</source>
        <translation>%1 not found, so no rule can be made. Connect the adapter and run this again.</translation>
    </message>
    <message>
        <source>%1 は USB シリアルアダプタではないので、規則は要りません。</source>
        <translation>%1 is not a USB serial adapter, so no rule is needed.</translation>
    </message>
    <message>
        <source># veltraw のライタ用 USB シリアルアダプタ（%1:%2%3）</source>
        <translation># USB serial adapter of the veltraw writer (%1:%2%3)</translation>
    </message>
    <message>
        <source>、シリアル番号 %1</source>
        <translation>, serial number %1</translation>
    </message>
    <message>
        <source># %1 として保存します。uaccess は 73-seat-late.rules より前に読まれる必要があります。</source>
        <translation># Save as %1. uaccess must be read before 73-seat-late.rules.</translation>
    </message>
    <message>
        <source># FTDI: 受信したバイトを 1 ms で渡す（既定の 16 ms では書き込みが数倍遅くなります）</source>
        <translation># FTDI: pass received bytes on after 1 ms (the default 16 ms makes writing several times slower)</translation>
    </message>
</context>
<context>
    <name>eepromtext</name>
    <message>
        <source>１バイトのデータを入力してください</source>
        <translation>Enter one byte of data</translation>
    </message>
    <message>
        <source>データの値が正しくありません</source>
        <translation>The data value is not valid</translation>
    </message>
    <message>
        <source>データの値が有効範囲を超えています</source>
        <translation>The data value is out of range</translation>
    </message>
</context>
<context>
    <name>link</name>
    <message>
        <source>通信ポートが選ばれていません。</source>
        <translation>No serial port is selected.</translation>
    </message>
</context>
<context>
    <name>listing</name>
    <message>
        <source>IDワード %1（下位4ビット %2h）</source>
        <translation>ID word %1 (low 4 bits %2h)</translation>
    </message>
    <message>
        <source>予約</source>
        <translation>reserved</translation>
    </message>
    <message>
        <source>デバイスID: PIC16F84A リビジョン %1</source>
        <translation>device ID: PIC16F84A revision %1</translation>
    </message>
    <message>
        <source>デバイスID: なし</source>
        <translation>device ID: none</translation>
    </message>
    <message>
        <source>デバイスID</source>
        <translation>device ID</translation>
    </message>
    <message>
        <source>（設定の値）</source>
        <translation> (from the settings)</translation>
    </message>
    <message>
        <source>%1h–%2h 未使用 (3FFF)</source>
        <translation>%1h–%2h unused (3FFF)</translation>
    </message>
    <message>
        <source>（左: ファイル、右: PIC。違う行に *）</source>
        <translation>(left: file, right: PIC; * marks a line that differs)</translation>
    </message>
</context>
<context>
    <name>memoryimage</name>
    <message>
        <source>行が長すぎます。Intel HEX ファイルではないようです</source>
        <translation>Line too long; this does not look like an Intel HEX file</translation>
    </message>
    <message>
        <source>ファイルを最後まで読めませんでした</source>
        <translation>Could not read the file to the end</translation>
    </message>
    <message>
        <source>行の先頭が「:」ではありません。Intel HEX のレコードではありません</source>
        <translation>The line does not start with &quot;:&quot;; not an Intel HEX record</translation>
    </message>
    <message>
        <source>アドレス %1 のレコードが、前のレコードより前のアドレスを指しています（書込みはレコードをアドレス順に送ります）</source>
        <translation>The record at address %1 points before the previous record (a write sends the records in address order)</translation>
    </message>
    <message>
        <source>アドレス %1 のワードの上位バイトが 80h 以上で、プログラムワードになりません</source>
        <translation>The high byte of the word at address %1 is 80h or more; not a program word</translation>
    </message>
    <message>
        <source>チェックサムが合いません（正しくは %1h）</source>
        <translation>Checksum mismatch (should be %1h)</translation>
    </message>
    <message>
        <source>レコードの形が正しくありません（バイト数と長さが合わないか、16進数でない文字があります）</source>
        <translation>Malformed record (the byte count does not match the length, or a character is not hexadecimal)</translation>
    </message>
    <message>
        <source>アドレス %1 はプログラムメモリ（0000h〜03FFh）の外です</source>
        <translation>Address %1 is outside program memory (0000h-03FFh)</translation>
    </message>
    <message>
        <source>アドレス %1 からのワードは書込まれません（書込みは %2 行目のレコードで終わります）</source>
        <translation>The words from address %1 on are not written (the write ends at the record on line %2)</translation>
    </message>
    <message>
        <source>ID ワード（%1 から）は書込まれません。ライタには ID ワードを書込むコマンドがありません</source>
        <translation>The ID words (from %1) are not written; the writer has no command to write ID words</translation>
    </message>
    <message>
        <source>アドレス %1 のワードが 14 ビットを超えています。PIC には下位 14 ビットだけが書込まれます</source>
        <translation>The word at address %1 is wider than 14 bits; only the low 14 bits are written to the PIC</translation>
    </message>
    <message>
        <source>アドレス %1 には PIC のメモリがないので、このレコードは使われません</source>
        <translation>The PIC has no memory at address %1; this record is not used</translation>
    </message>
    <message>
        <source>レコードタイプ %1 は使われません</source>
        <translation>Record type %1 is not used</translation>
    </message>
</context>
<context>
    <name>messages</name>
    <message>
        <source>VELTRA2オンボードライタ</source>
        <translation>VELTRA2 On-board Writer</translation>
    </message>
    <message>
        <source>VELTRA2オンボードプログラムライタ</source>
        <translation>VELTRA2 On-board Program Writer</translation>
    </message>
    <message>
        <source>エラーが発生しました</source>
        <translation>An error occurred</translation>
    </message>
    <message>
        <source>ファイルエラー</source>
        <translation>File error</translation>
    </message>
    <message>
        <source>タイムアウトエラー</source>
        <translation>Timeout error</translation>
    </message>
    <message>
        <source>通信ポートエラーです</source>
        <translation>Serial port error</translation>
    </message>
    <message>
        <source>通信設定をしてください</source>
        <translation>Set up the port</translation>
    </message>
    <message>
        <source>VELTRA2オンボードプログラムライタと通信中...</source>
        <translation>Talking to the VELTRA2 On-board Program Writer...</translation>
    </message>
    <message>
        <source>ＰＩＣマイコンボードと通信中...</source>
        <translation>Talking to the PIC board...</translation>
    </message>
    <message>
        <source>ファイル出力中</source>
        <translation>Writing the file</translation>
    </message>
    <message>
        <source>プログラムメモリは書込み済みです。コンフィグレーションワードの書込みで止まりました。</source>
        <translation>Program memory is written. The write stopped at the configuration word.</translation>
    </message>
    <message>
        <source>PICマイコンボードと通信中</source>
        <translation>Talking to the PIC board</translation>
    </message>
    <message>
        <source>書込み中</source>
        <translation>Writing</translation>
    </message>
    <message>
        <source><byte value="xd"/>
もう一度操作してください。</source>
        <translation><byte value="xd"/>
Please try again.</translation>
    </message>
    <message>
        <source>ほかの画面がライタと通信中です。<byte value="xd"/>
通信が終わってからもう一度操作してください。</source>
        <translation>Another window is talking to the writer.<byte value="xd"/>
Try again when it has finished.</translation>
    </message>
    <message>
        <source>すでにVELTRA2オンボードプログラムライタが実行されています</source>
        <translation>The VELTRA2 On-board Program Writer is already running</translation>
    </message>
    <message>
        <source>指定ファイルを呼出しません。</source>
        <translation>Cannot open the file given.</translation>
    </message>
    <message>
        <source>引数の指定が違います</source>
        <translation>Wrong arguments</translation>
    </message>
    <message>
        <source>ライタの反応がありません。<byte value="xd"/>
電源およびケーブルの接続を確認し、通信設定をもう一度クリックしてください。</source>
        <translation>The writer does not respond.<byte value="xd"/>
Check the power and the cable, then click Port Settings again.</translation>
    </message>
    <message>
        <source>通信ポートが使えなくなりました。<byte value="xd"/>
ケーブルの接続を確認し、通信設定をもう一度クリックしてください。</source>
        <translation>The serial port is no longer usable.<byte value="xd"/>
Check the cable, then click Port Settings again.</translation>
    </message>
    <message>
        <source>参照をクリックしてHEXファイルを指定してください</source>
        <translation>Click Browse to choose a HEX file</translation>
    </message>
    <message>
        <source>HEXファイルが存在しません。参照をクリックしてファイルを指定をしてください</source>
        <translation>The HEX file does not exist. Click Browse to choose a file</translation>
    </message>
    <message>
        <source>ファイルが存在しません</source>
        <translation>The file does not exist</translation>
    </message>
    <message>
        <source>テキストエディタを起動できませんでした。</source>
        <translation>Could not start a text editor.</translation>
    </message>
    <message>
        <source>環境変数 VISUAL も EDITOR も設定されておらず、デスクトップの既定のアプリケーションでも開けませんでした。</source>
        <translation>Neither VISUAL nor EDITOR is set, and the desktop&apos;s default application could not open it either.</translation>
    </message>
    <message>
        <source>環境変数 %1 のエディタ「%2」を起動できませんでした。</source>
        <translation>Could not start the editor &quot;%2&quot; named by %1.</translation>
    </message>
    <message>
        <source>マニュアルが見つかりません。<byte value="xd"/>
マニュアルは次の場所にインストールされているはずです:<byte value="xd"/>
</source>
        <translation>The manual was not found.<byte value="xd"/>
It should be installed at:<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>ブラウザを起動できませんでした。<byte value="xd"/>
ヘルプのウィンドウで読むか、ブラウザで次のページを開いてください:<byte value="xd"/>
</source>
        <translation>Could not start a browser.<byte value="xd"/>
Read it in the help window, or open this page in a browser:<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>USBシリアル変換器の遅延タイマが %1 ms に設定されています。<byte value="xd"/>
このままでは書込みや読出しに何倍もの時間がかかります。<byte value="xd"/>
遅延タイマを 1 ms にする方法は、マニュアルの「トラブルシューティング」を見てください。</source>
        <translation>The USB serial adapter&apos;s latency timer is set to %1 ms.<byte value="xd"/>
Writing and reading will take several times as long.<byte value="xd"/>
To set it to 1 ms, see &quot;Troubleshooting&quot; in the manual.</translation>
    </message>
    <message>
        <source>PICにプログラムを書込んでよろしいですか？ </source>
        <translation>Write the program to the PIC? </translation>
    </message>
    <message>
        <source>プログラムメモリを全消去しますか</source>
        <translation>Erase all of program memory?</translation>
    </message>
    <message>
        <source>PICのプログラムを読出しますか</source>
        <translation>Read the program from the PIC?</translation>
    </message>
    <message>
        <source>PICのプログラムをHEXファイルと照合しますか</source>
        <translation>Verify the PIC&apos;s program against the HEX file?</translation>
    </message>
    <message>
        <source>コードプロテクトがONのため、プログラムメモリを照合できません。<byte value="xd"/>
照合するには、コードプロテクトをOFFにして書込み直してください。</source>
        <translation>Code protect is ON, so program memory cannot be verified.<byte value="xd"/>
To verify, turn code protect OFF and write again.</translation>
    </message>
    <message>
        <source>Hexファイルにエラーがありました</source>
        <translation>The HEX file has an error</translation>
    </message>
    <message>
        <source>%1 とPICの内容が %2 か所で異なります。</source>
        <translation>%1 and the PIC differ; differences: %2.</translation>
    </message>
    <message>
        <source>ライタまたはPICマイコンボードの反応がありません。<byte value="xd"/>
もう一度操作してください。</source>
        <translation>The writer or the PIC board does not respond.<byte value="xd"/>
Please try again.</translation>
    </message>
    <message>
        <source>PICマイコンボードの電源は投入されていますか？</source>
        <translation>Is the PIC board powered on?</translation>
    </message>
    <message>
        <source>ライタにエラーが発生しました。</source>
        <translation>The writer reported an error.</translation>
    </message>
    <message>
        <source>ライタにエラーが発生しました</source>
        <translation>The writer reported an error</translation>
    </message>
    <message>
        <source>全消去しました</source>
        <translation>Erased</translation>
    </message>
    <message>
        <source>ファイルが見つかりません</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>書き込み中にエラーが発生しました</source>
        <translation>An error occurred while writing</translation>
    </message>
    <message>
        <source>ファイル処理エラーです</source>
        <translation>File processing error</translation>
    </message>
    <message>
        <source>書込みが終了しました</source>
        <translation>Writing finished</translation>
    </message>
    <message>
        <source>ファイルエラーです</source>
        <translation>File error</translation>
    </message>
    <message>
        <source>PICのプログラムを最後まで受信できませんでした。<byte value="xd"/>
ファイルは出力していません。もう一度操作してください。</source>
        <translation>Could not receive the whole program from the PIC.<byte value="xd"/>
No file was written. Please try again.</translation>
    </message>
    <message>
        <source>読取り終了しました</source>
        <translation>Reading finished</translation>
    </message>
    <message>
        <source>アドレス %1 書込み中</source>
        <translation>Writing address %1</translation>
    </message>
    <message>
        <source>アドレス %1 受信中</source>
        <translation>Receiving address %1</translation>
    </message>
    <message>
        <source>HEXファイルの %1 行目で止まりました。</source>
        <translation>Stopped at line %1 of the HEX file.</translation>
    </message>
    <message>
        <source>アドレス %1h の手前まで書込み済みです。</source>
        <translation>Written up to, but not including, address %1h.</translation>
    </message>
    <message>
        <source>受信したワード数: %1 / %2</source>
        <translation>Words received: %1 of %2</translation>
    </message>
    <message>
        <source>PICマイコンボードの電源が入っていません。<byte value="xd"/>
電源を入れて、もう一度クリックしてください。</source>
        <translation>The PIC board is not powered.<byte value="xd"/>
Turn it on and click again.</translation>
    </message>
    <message>
        <source>ライタとの通信に失敗しました。<byte value="xd"/>
ケーブルの確認をしてから、もう一度クリックしてください。</source>
        <translation>Communication with the writer failed.<byte value="xd"/>
Check the cable, then click again.</translation>
    </message>
    <message>
        <source>EEP-ROMデータエリアを全消去しますか</source>
        <translation>Erase all of the data EEPROM?</translation>
    </message>
    <message>
        <source>PICマイコンボードの電源が入っていません</source>
        <translation>The PIC board is not powered</translation>
    </message>
    <message>
        <source>ライタとの通信に失敗しました<byte value="xd"/>
ケーブルの確認をして、もう一度クリックしてください。</source>
        <translation>Communication with the writer failed<byte value="xd"/>
Check the cable and click again.</translation>
    </message>
    <message>
        <source>ライタとの通信に失敗しました。<byte value="xd"/>
ケーブルの確認をして、もう一度クリックしてください。</source>
        <translation>Communication with the writer failed.<byte value="xd"/>
Check the cable and click again.</translation>
    </message>
    <message>
        <source>PICマイコンボードの電源が入っていません。</source>
        <translation>The PIC board is not powered.</translation>
    </message>
    <message>
        <source>ライタとの通信に失敗しました。</source>
        <translation>Communication with the writer failed.</translation>
    </message>
    <message>
        <source>指定したファイルが存在しないので書込みができません。</source>
        <translation>The file given does not exist, so nothing can be written.</translation>
    </message>
    <message>
        <source>Veltraライタ</source>
        <translation>Veltra Writer</translation>
    </message>
    <message>
        <source>データファイルを読み込めないので書込みができません。</source>
        <translation>The data file cannot be read, so nothing can be written.</translation>
    </message>
    <message>
        <source>アドレス %1h で止まりました（書込み済み %2 / %3 バイト）。</source>
        <translation>Stopped at address %1h (bytes written: %2 of %3).</translation>
    </message>
    <message>
        <source>%1h のバイトは送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。</source>
        <translation>The byte at %1h was sent but its write was never confirmed; it may or may not be written.</translation>
    </message>
    <message>
        <source>全消去の確認が取れず、消去されたかどうか分かりません。もう一度全消去してください。</source>
        <translation>The erase was never confirmed; it may or may not have happened. Erase again.</translation>
    </message>
    <message>
        <source>PICマイコンボードの電源が入っていません。<byte value="xd"/>
電源を入れてからもう一度クリックしてください。</source>
        <translation>The PIC board is not powered.<byte value="xd"/>
Turn it on, then click again.</translation>
    </message>
    <message>
        <source>ライタとの通信に失敗しました。<byte value="xd"/>
ケーブルの確認をしてからもう一度クリックしてください。</source>
        <translation>Communication with the writer failed.<byte value="xd"/>
Check the cable, then click again.</translation>
    </message>
    <message>
        <source>ほかに %1 行あります。</source>
        <translation>Further lines: %1.</translation>
    </message>
    <message>
        <source>HEXファイルに、PICにメモリのないアドレス（0400h〜1FFFh）のワードがあります。<byte value="xd"/>
このファイルは書込みも照合もできません。ライタには何も送っていません。</source>
        <translation>The HEX file has words at addresses where the PIC has no memory (0400h-1FFFh).<byte value="xd"/>
This file can be neither written nor verified. Nothing was sent to the writer.</translation>
    </message>
    <message>
        <source>%1 行目: アドレス %2</source>
        <translation>line %1: address %2</translation>
    </message>
    <message>
        <source>%1 行目: アドレス %2〜%3h</source>
        <translation>line %1: addresses %2-%3h</translation>
    </message>
    <message>
        <source>ID / データEEPROM のレコードは書込んでいません</source>
        <translation>ID / data EEPROM records were not written</translation>
    </message>
    <message>
        <source>%1 に保存できませんでした。</source>
        <translation>Could not save to %1.</translation>
    </message>
    <message>
        <source>ポート: %1</source>
        <translation>Port: %1</translation>
    </message>
    <message>
        <source>表示するプログラムがありません。<byte value="xd"/>
HEXファイルを指定するか、プログラムRead または Verify でPICを読出してください。</source>
        <translation>There is no program to show.<byte value="xd"/>
Choose a HEX file, or read the PIC with Program Read or Program Verify.</translation>
    </message>
    <message>
        <source>アドレス「%1」は表示していません。<byte value="xd"/>
0000h〜03FFh、2000h〜2007h の16進数で指定してください。</source>
        <translation>Address &quot;%1&quot; is not shown.<byte value="xd"/>
Give a hexadecimal address in 0000h-03FFh or 2000h-2007h.</translation>
    </message>
    <message>
        <source>プログラムメモリ %1 ワード</source>
        <translation>program memory, words: %1</translation>
    </message>
    <message>
        <source>コンフィグレーションワード</source>
        <translation>configuration word</translation>
    </message>
    <message>
        <source>データEEPROM %1 バイト</source>
        <translation>data EEPROM, bytes: %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>; </translation>
    </message>
    <message>
        <source>照合しました。ファイルと一致しています（%1）。</source>
        <translation>Verified. Matches the file (%1).</translation>
    </message>
    <message>
        <source>PICの内容はHEXファイルと一致しています（%1）。</source>
        <translation>The PIC matches the HEX file (%1).</translation>
    </message>
    <message>
        <source>プログラムメモリ %1 / %2 ワード</source>
        <translation>program memory, words: %1 of %2</translation>
    </message>
    <message>
        <source>データEEPROM %1 / %2 バイト</source>
        <translation>data EEPROM, bytes: %1 of %2</translation>
    </message>
    <message>
        <source>ファイルと一致しません: %1が違います。</source>
        <translation>Does not match the file; differences in %1.</translation>
    </message>
    <message>
        <source>違うビット（ファイル→PIC）: 1→0 が %1 ビット、0→1 が %2 ビット</source>
        <translation>Differing bits (file→PIC): 1→0: %1, 0→1: %2</translation>
    </message>
    <message>
        <source>データEEPROM の違うビット（ファイル→PIC）: 1→0 が %1 ビット、0→1 が %2 ビット</source>
        <translation>Differing data EEPROM bits (file→PIC): 1→0: %1, 0→1: %2</translation>
    </message>
    <message>
        <source>「Erase」ボタン（メニューの「プログラムErase」）で</source>
        <translation>with the Erase button (Program Erase in the menu)</translation>
    </message>
    <message>
        <source>違いはどれも、ファイルが 1 で PIC が 0 のビット（書込みでは 1 にできないビット）です。消去してから書込みましたか？ %1消去してから、もう一度書込んでください。</source>
        <translation>Every difference is a bit that is 1 in the file and 0 in the PIC (a write cannot set a bit to 1). Was the PIC erased before the write? Erase it %1, then write again.</translation>
    </message>
    <message>
        <source>コードプロテクトが有効なので、プログラムメモリは照合できません（保護された PIC からは書込んだ内容を読出せません）。</source>
        <translation>Code protect is on, so program memory cannot be verified (a protected PIC does not give back what was written).</translation>
    </message>
    <message>
        <source>コンフィグ</source>
        <translation>Config</translation>
    </message>
    <message>
        <source>プログラム</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>%1  %2  ファイル %3  PIC %4</source>
        <translation>%1  %2  file %3  PIC %4</translation>
    </message>
    <message>
        <source>  （ビット0〜4）</source>
        <translation>  (bits 0-4)</translation>
    </message>
</context>
<context>
    <name>portnaming</name>
    <message>
        <source>ポートが選ばれていません</source>
        <translation>No port selected</translation>
    </message>
    <message>
        <source> (見つかりません)</source>
        <translation> (not found)</translation>
    </message>
    <message>
        <source>%1 が見つかりません。ケーブルの接続とポートの設定を確認してください。</source>
        <translation>%1 not found. Check the cable and the port settings.</translation>
    </message>
    <message>
        <source>%1 を開く権限がないか、ほかのプログラムが使用中です。権限がない場合は dialout グループに加わってください。</source>
        <translation>No permission to open %1, or another program is using it. Without permission, join the dialout group.</translation>
    </message>
    <message>
        <source>%1 が見つかりません。</source>
        <translation>%1 not found.</translation>
    </message>
    <message>
        <source>%1 はすでに開かれています。</source>
        <translation>%1 is already open.</translation>
    </message>
    <message>
        <source>%1 を開けません。</source>
        <translation>Cannot open %1.</translation>
    </message>
</context>
<context>
    <name>portstatus</name>
    <message>
        <source>%1 が見つかりません。ケーブルの接続とポートの指定を確認してください。</source>
        <translation>%1 not found. Check the cable and the port given.</translation>
    </message>
    <message>
        <source>%1 を開く権限がありません。dialout グループに加わり（sudo usermod -aG dialout ユーザー名）、ログインし直してください。</source>
        <translation>No permission to open %1. Join the dialout group (sudo usermod -aG dialout USERNAME) and log in again.</translation>
    </message>
    <message>
        <source>プロセス %1</source>
        <translation>process %1</translation>
    </message>
    <message>
        <source>%1、プロセス %2</source>
        <translation>%1, process %2</translation>
    </message>
    <message>
        <source>%1 はほかのプログラム（%2）が使用中です。そのプログラムを終了するかポートを閉じてから、もう一度実行してください。</source>
        <translation>%1 is in use by another program (%2). Quit that program or close the port, then try again.</translation>
    </message>
    <message>
        <source>%1 はほかのプログラムが使用中です。そのプログラムを終了するかポートを閉じてから、もう一度実行してください。</source>
        <translation>%1 is in use by another program. Quit that program or close the port, then try again.</translation>
    </message>
    <message>
        <source>%1 を開けません。</source>
        <translation>Cannot open %1.</translation>
    </message>
</context>
<context>
    <name>program</name>
    <message>
        <source>Hexファイル(*.hex)|*.hex|すべてのファイル(*.*)|*.*</source>
        <translation>HEX files (*.hex)|*.hex|All files (*.*)|*.*</translation>
    </message>
</context>
<context>
    <name>systemtext</name>
    <message>
        <source>
システムのメッセージ: </source>
        <translation>
System message: </translation>
    </message>
</context>
</TS>
