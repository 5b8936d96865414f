<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>FormInitComm</name>
    <message>
        <source>COMポート選択</source>
        <translation>Select COM port</translation>
    </message>
    <message>
        <source>このCOM番号で開く機器(&amp;D)</source>
        <translation>&amp;Device this COM number opens</translation>
    </message>
    <message>
        <source>（指定なし：標準の機器）</source>
        <translation>(none: the standard device)</translation>
    </message>
    <message>
        <source>  シリアル番号 %1</source>
        <translation>  serial number %1</translation>
    </message>
    <message>
        <source> (見つかりません)</source>
        <translation> (not found)</translation>
    </message>
    <message>
        <source>接続されていません</source>
        <translation>Not connected</translation>
    </message>
</context>
<context>
    <name>FormMain</name>
    <message>
        <source>Hexファイル</source>
        <translation>HEX file</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>ポート設定</source>
        <translation>Port settings</translation>
    </message>
    <message>
        <source>プログラムメモリ</source>
        <translation>Program memory</translation>
    </message>
    <message>
        <source>データメモリ</source>
        <translation>EEPROM</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>参照(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>メモ帳で開く(&amp;M)</source>
        <translation>Open in &amp;Editor</translation>
    </message>
    <message>
        <source>終了(&amp;X)...</source>
        <translation>E&amp;xit...</translation>
    </message>
    <message>
        <source>メモリ(&amp;M)</source>
        <translation>&amp;Memory</translation>
    </message>
    <message>
        <source>プログラムWrite(&amp;W)...</source>
        <translation>Program &amp;Write...</translation>
    </message>
    <message>
        <source>プログラムRead(&amp;R)...</source>
        <translation>Program &amp;Read...</translation>
    </message>
    <message>
        <source>プログラムVerify(&amp;V)...</source>
        <translation>Program &amp;Verify...</translation>
    </message>
    <message>
        <source>プログラムErase(&amp;E)...</source>
        <translation>Program &amp;Erase...</translation>
    </message>
    <message>
        <source>データメモリ(&amp;M)...</source>
        <translation>Data &amp;Memory...</translation>
    </message>
    <message>
        <source>プログラムメモリ(&amp;P)...</source>
        <translation>&amp;Program Memory...</translation>
    </message>
    <message>
        <source>通信設定(&amp;C)</source>
        <translation>&amp;Port Settings</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ヘルプファイル(&amp;H)</source>
        <translation>&amp;Help File</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)...</source>
        <translation>&amp;About...</translation>
    </message>
    <message>
        <source>Hexファイル(*.hex)|*.hex|すべてのファイル(*.*)|*.*</source>
        <translation>HEX files (*.hex)|*.hex|All files (*.*)|*.*</translation>
    </message>
    <message>
        <source>CONGIG(&amp;C)...</source>
        <translation>&amp;CONGIG...</translation>
    </message>
</context>
<context>
    <name>FrmDiagnosis</name>
    <message>
        <source>接続診断</source>
        <translation>Connection Diagnosis</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>項目</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Detail</translation>
    </message>
    <message>
        <source>対処</source>
        <translation>Remedy</translation>
    </message>
    <message>
        <source>報告をコピー(&amp;C)</source>
        <translation>&amp;Copy Report</translation>
    </message>
    <message>
        <source>udev 規則(&amp;U)...</source>
        <translation>&amp;udev Rule...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>通信ポートが選ばれていません。通信設定でポートを選んでください。</source>
        <translation>No port is chosen. Choose one under Port Settings.</translation>
    </message>
    <message>
        <source>%1 から PIC までを順に調べます。</source>
        <translation>Checks each step from %1 to the PIC.</translation>
    </message>
    <message>
        <source>%1 を診断しています...</source>
        <translation>Diagnosing %1...</translation>
    </message>
    <message>
        <source>%1: 問題が見つかりました。「対処」の欄を上から順に試してください。</source>
        <translation>%1: problems found. Try the Remedy column from the top down.</translation>
    </message>
    <message>
        <source>%1: 使えますが、注意する点があります。</source>
        <translation>%1: usable, with points to note.</translation>
    </message>
    <message>
        <source>%1: PIC まで正常につながっています。</source>
        <translation>%1: the connection to the PIC works.</translation>
    </message>
    <message>
        <source>udev 規則</source>
        <translation>udev Rule</translation>
    </message>
    <message>
        <source>この規則を %1 に保存すると、ログイン中のユーザーがアダプタを開けるようになり、ModemManager が触れなくなり、%2 という名前がつきます。端末で次のコマンドを実行してください。</source>
        <translation>Saved as %1, this rule lets the logged-in user open the adapter, keeps ModemManager off it and names it %2. Run the following command in a terminal.</translation>
    </message>
    <message>
        <source>
# 保存と読み込み直し:
# </source>
        <translation>
# Save and reload:
# </translation>
    </message>
    <message>
        <source>コマンドをコピー(&amp;C)</source>
        <translation>&amp;Copy Command</translation>
    </message>
    <message>
        <source>接続診断(&amp;D)…</source>
        <translation>Connection &amp;Diagnosis…</translation>
    </message>
</context>
<context>
    <name>ManualViewer</name>
    <message>
        <source>戻る(&amp;K)</source>
        <translation>Bac&amp;k</translation>
    </message>
    <message>
        <source>ブラウザで開く(&amp;B)</source>
        <translation>Open in &amp;Browser</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>ヘルプ - %1</source>
        <translation>Help - %1</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>VELTRAライタ</source>
        <translation>VELTRA Writer</translation>
    </message>
    <message>
        <source>シリアルポートを搭載したパソコンでご利用ください</source>
        <translation>For use on a PC with a serial port</translation>
    </message>
    <message>
        <source>このソフトはVELTRA2用PICライタです</source>
        <translation>PIC writer software for the VELTRA2</translation>
    </message>
</context>
<context>
    <name>frmConfReg</name>
    <message>
        <source>ConfigRegisterの内容</source>
        <translation>ConfigRegister contents</translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;通信中</source>
        <translation>  Communicating</translation>
    </message>
</context>
<context>
    <name>frmConfig</name>
    <message>
        <source>Configレジスタの設定</source>
        <translation>Config Register Settings</translation>
    </message>
    <message>
        <source>オシレータ</source>
        <translation>Oscillator</translation>
    </message>
    <message>
        <source>ウォッチドッグタイマ</source>
        <translation>Watchdog Timer</translation>
    </message>
    <message>
        <source>パワーアップタイマ</source>
        <translation>Power-up Timer</translation>
    </message>
    <message>
        <source>コードプロテクト</source>
        <translation>Code Protect</translation>
    </message>
</context>
<context>
    <name>frmEEPROMwrite</name>
    <message>
        <source>OKをクリックするとデータを書込みます</source>
        <translation>Click OK to write the data</translation>
    </message>
</context>
<context>
    <name>frmEPROM</name>
    <message>
        <source>EEP-ROMデータメモリエリア</source>
        <translation>EEP-ROM data memory area</translation>
    </message>
</context>
<context>
    <name>frmProgramMemory</name>
    <message>
        <source>ファイル: </source>
        <translation>File: </translation>
    </message>
    <message>
        <source>プログラムメモリ</source>
        <translation>Program Memory</translation>
    </message>
    <message>
        <source>アドレス（16進数）</source>
        <translation>Address (hex)</translation>
    </message>
    <message>
        <source>移動(&amp;G)</source>
        <translation>&amp;Go</translation>
    </message>
    <message>
        <source>前の違い(&amp;P)</source>
        <translation>&amp;Previous Difference</translation>
    </message>
    <message>
        <source>次の違い(&amp;N)</source>
        <translation>&amp;Next Difference</translation>
    </message>
    <message>
        <source>テキストでコピー(&amp;C)</source>
        <translation>&amp;Copy as Text</translation>
    </message>
    <message>
        <source>リストを保存(&amp;S)...</source>
        <translation>&amp;Save List...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>アドレス:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>%1 行目: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>ほかに %1 件の注意があります</source>
        <translation>Notes not shown: %1</translation>
    </message>
    <message>
        <source>（開けないので表示していません）</source>
        <translation> (cannot be opened: not shown)</translation>
    </message>
    <message>
        <source>PIC (%1 に%2)</source>
        <translation>PIC (%2 at %1)</translation>
    </message>
    <message>
        <source>コードプロテクトがONなので、プログラムメモリは比較していません</source>
        <translation>Code protection is ON: program memory not compared</translation>
    </message>
    <message>
        <source>ファイルとPICの内容は一致しています</source>
        <translation>The file and the PIC match</translation>
    </message>
    <message>
        <source>ファイルとPICで違うところ: %1 か所（色の付いた行）</source>
        <translation>Differences between the file and the PIC: %1 (coloured rows)</translation>
    </message>
    <message>
        <source>アドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>逆アセンブル</source>
        <translation>Disassembly</translation>
    </message>
    <message>
        <source>ワード</source>
        <translation>Word</translation>
    </message>
</context>
<context>
    <name>frmReadWrite</name>
    <message>
        <source>VELTRA2オンボードプログラムライタと通信中</source>
        <translation>Talking to the VELTRA2 on-board programmer</translation>
    </message>
    <message>
        <source>読出し</source>
        <translation>read</translation>
    </message>
    <message>
        <source>照合</source>
        <translation>verified</translation>
    </message>
    <message>
        <source>VELTRA2   Write</source>
        <translation>VELTRA2   Write</translation>
    </message>
    <message>
        <source>VELTRA2   Read</source>
        <translation>VELTRA2   Read</translation>
    </message>
    <message>
        <source>VELTRA2   Erase</source>
        <translation>VELTRA2   Erase</translation>
    </message>
    <message>
        <source>VELTRA2   Verify</source>
        <translation>VELTRA2   Verify</translation>
    </message>
    <message>
        <source>VELTRA2 Writer</source>
        <translation>VELTRA2 Writer</translation>
    </message>
</context>
<context>
    <name>frmVerify</name>
    <message>
        <source>テキストで保存(&amp;S)...</source>
        <translation>&amp;Save as Text...</translation>
    </message>
    <message>
        <source>プログラムメモリ(&amp;M)...</source>
        <translation>Program &amp;Memory...</translation>
    </message>
</context>
<context>
    <name>gui</name>
    <message>
        <source>テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*</source>
        <translation>Text files (*.txt)|*.txt|All files (*.*)|*.*</translation>
    </message>
</context>
<context>
    <name>veltraw</name>
    <message>
        <source>使い方: veltraw [FILE.hex | /F データファイル]

VELTRA2オンボードプログラムライタで、PICマイコンへの書込み・読出し・照合を行うウィンドウ版のプログラムです。

  （引数なし）        メインウィンドウを開く
  FILE.hex            そのHEXファイルをプログラムメモリに書込んで終了する
                      （書込みの確認とコンフィグレーションワードの確認は表示します）
  /F データファイル   データファイルの64バイトをデータEEPROMに書込んで終了する（O K を1回クリック）
  --help              この説明を表示する
  --version           このプログラムのバージョンを表示する

ウィンドウなしで操作するには veltraw-cli を使います。詳しくは man veltraw と、ヘルプメニューのマニュアルを見てください。
</source>
        <translation>Usage: veltraw [FILE.hex | /F DATAFILE]

The window program for writing, reading and verifying PIC microcontrollers with the VELTRA2 on-board programmer.

  (no arguments)      open the main window
  FILE.hex            write that HEX file to program memory and exit
                      (the write and the configuration word are still confirmed)
  /F DATAFILE         write the data file&apos;s 64 bytes to data EEPROM and exit (one click on O K)
  --help              show this help
  --version           show this program&apos;s version

To work without windows use veltraw-cli. See man veltraw and the manual in the Help menu.
</translation>
    </message>
</context>
</TS>
